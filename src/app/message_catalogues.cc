#include "app/message_catalogues.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace quillon {

namespace {

/// The canonical absolute path of `path`, or "" when it cannot be resolved
/// (it does not exist, for one).
std::string
real_path(const char* path)
{
  char resolved[PATH_MAX];
  if (!realpath(path, resolved))
    return std::string();
  return resolved;
}

bool
is_directory(const char* path)
{
  struct stat status;
  return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::string
message_catalogue_dir(const char* running_binary,
                      const char* build_binary,
                      const char* build_catalogues,
                      const char* installed_catalogues)
{
  const std::string running = real_path(running_binary);
  if (!running.empty() && running == real_path(build_binary) &&
      is_directory(build_catalogues))
    return build_catalogues;
  return installed_catalogues;
}

} // namespace quillon
