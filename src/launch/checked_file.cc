#include "launch/checked_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <glib/gi18n.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::launch {

CheckedFile
open_private_file(const std::string& path, int flags, mode_t mode)
{
  CheckedFile result;
  // O_NONBLOCK: a FIFO must neither block the open nor a later read.
  const int fd = open(
    path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT && !(flags & O_CREAT)) {
      result.check = FileCheck::absent;
    } else if (error == ELOOP) {
      result.reason = _("a symbolic link");
    } else if (error == ENXIO) {
      // Opening a FIFO for writing without a reader.
      result.reason = _("not a regular file");
    } else {
      result.reason = std::strerror(error);
    }
    return result;
  }
  FileDescriptor owner(fd);

  struct stat status
  {};
  if (fstat(fd, &status) != 0) {
    result.reason = std::strerror(errno);
  } else if (!S_ISREG(status.st_mode)) {
    result.reason = _("not a regular file");
  } else if (status.st_uid != getuid()) {
    result.reason = _("owned by another user");
  } else if (status.st_nlink != 1) {
    result.reason = _("a file with more than one link");
  } else {
    result.check = FileCheck::usable;
    result.fd = std::move(owner);
  }
  return result;
}

StandIn
private_stand_in(const std::string& name)
{
  const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
  struct stat status
  {};
  if (runtime_dir && runtime_dir[0] == '/' &&
      lstat(runtime_dir, &status) == 0 && S_ISDIR(status.st_mode) &&
      status.st_uid == getuid() && (status.st_mode & 077) == 0)
    return { std::string(runtime_dir) + "/quillon-" + name, false };

  std::string pattern = "/tmp/quillon-" + name + "-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0)
    return {};
  close(fd);
  return { pattern, true };
}

} // namespace quillon::launch
