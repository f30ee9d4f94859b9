#include "marks/mark_file.h"

#include "common/diagnostics.h"
#include "common/posix_io.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <glib.h>
#include <glib/gi18n.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::marks {

std::vector<Glib::ustring>
parse_marks(const std::string& bytes)
{
  std::vector<Glib::ustring> entries;
  std::string::size_type start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find('\n', start);
    if (end == std::string::npos) {
      entries.emplace_back(bytes.substr(start));
      break;
    }
    entries.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return entries;
}

std::string
format_marks(const std::vector<Glib::ustring>& entries)
{
  std::string bytes;
  for (const auto& entry : entries) {
    bytes += entry.raw();
    bytes += '\n';
  }
  return bytes;
}

bool
path_exists(const std::string& path)
{
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::optional<std::string>
read_file(const std::string& path, std::string& error)
{
  gchar* contents = nullptr;
  gsize length = 0;
  GError* failure = nullptr;
  if (!g_file_get_contents(path.c_str(), &contents, &length, &failure)) {
    error = failure ? failure->message : std::strerror(EIO);
    g_clear_error(&failure);
    return std::nullopt;
  }
  std::string bytes(contents, length);
  g_free(contents);
  return bytes;
}

namespace {

/// The file a path finally names: a symbolic link is followed, so that a
/// linked mark file (kept elsewhere by the user) is updated, not replaced
/// by a plain file.
std::string
target_of(const std::string& path)
{
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved))
      return resolved;
  }
  return path;
}

} // namespace

bool
replace_file(const std::string& path,
             const std::string& bytes,
             std::string& error)
{
  const std::string target = target_of(path);
  gchar* directory = g_path_get_dirname(target.c_str());
  const int made = g_mkdir_with_parents(directory, 0700);
  g_free(directory);
  if (made != 0) {
    error = std::strerror(errno);
    return false;
  }

  std::string temporary = target + ".XXXXXX";
  const int fd = g_mkstemp_full(temporary.data(), O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  // A replaced file keeps its permissions; a new one gets the usual mode
  // (0666 less the umask), as if created directly.
  struct stat old_info;
  mode_t mode = 0;
  if (stat(target.c_str(), &old_info) == 0) {
    mode = old_info.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  int failed_errno = 0;
  if (fchmod(fd, mode) != 0 || !write_all(fd, bytes) || fsync(fd) != 0)
    failed_errno = errno;
  if (close(fd) != 0 && failed_errno == 0)
    failed_errno = errno;
  if (failed_errno == 0 && std::rename(temporary.c_str(), target.c_str()) != 0)
    failed_errno = errno;
  if (failed_errno == 0)
    return true;
  error = std::strerror(failed_errno);
  g_unlink(temporary.c_str());
  return false;
}

bool
save_mark_file(const MarkWrite& write)
{
  std::string error;
  if (replace_file(write.path, write.bytes, error))
    return true;
  diagnostic(
    _("quillon: cannot save %s: %s\n"), write.path.c_str(), error.c_str());
  return false;
}

bool
save_mark_files(const std::vector<MarkWrite>& writes)
{
  bool all_saved = true;
  for (const MarkWrite& write : writes)
    all_saved = save_mark_file(write) && all_saved;
  return all_saved;
}

} // namespace quillon::marks
