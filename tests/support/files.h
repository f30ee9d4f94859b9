#pragma once

// Whole files read and written byte for byte, for tests that plant files
// or check what the program wrote.

#include <filesystem>
#include <string>

namespace quillon::test {

/// The file's bytes; "" when it is missing or cannot be read.
std::string
read_file(const std::filesystem::path& path);

/// Makes `path` hold exactly `text`, created or emptied first.
void
write_file(const std::filesystem::path& path, const std::string& text);

/// Writes a script, its "#!" line first in `text`, that only its owner may
/// read, change and run.
void
write_script(const std::filesystem::path& path, const std::string& text);

} // namespace quillon::test
