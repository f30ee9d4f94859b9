#pragma once

#include <string>

namespace quillon {

/// The directory the message catalogues are bound to. The binary the build
/// tree made, run from there, reads the catalogues the build compiled
/// (`build_catalogues`), so that it speaks the user's language before it is
/// installed; any other binary, the installed one first of all, reads
/// `installed_catalogues`. The running binary and `build_binary` are
/// compared by their real paths: a symbolic link to the build tree's binary
/// is that binary, a copy of it is not. Without the build's catalogue
/// directory the installed one is used.
std::string
message_catalogue_dir(const char* running_binary,
                      const char* build_binary,
                      const char* build_catalogues,
                      const char* installed_catalogues);

} // namespace quillon
