#pragma once

#include <optional>
#include <string>

namespace quillon::catalogue {

/// The LV2 search path with every relative directory made absolute against
/// `current_dir`, or nothing when `lv2_path` is unset or holds no relative
/// directory. lilv cannot turn a relative directory into a location and
/// crashes on the bundles it finds there; the user means the directory
/// seen from where the program was started. Entries are separated by ':';
/// an empty entry, and one that begins with '/', '~' or '$' (which lilv
/// expands itself), are kept as they are.
std::optional<std::string>
absolute_lv2_path(const char* lv2_path, const std::string& current_dir);

} // namespace quillon::catalogue
