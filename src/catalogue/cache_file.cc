#include "catalogue/cache_file.h"

#include "common/diagnostics.h"
#include "common/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <glib/gi18n.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::catalogue {

std::string
cache_directory()
{
  const char* cache_home = std::getenv("XDG_CACHE_HOME");
  if (cache_home && cache_home[0] == '/')
    return std::string(cache_home) + "/quillon";
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/')
    home = g_get_home_dir();
  if (!home || home[0] != '/')
    return std::string();
  return std::string(home) + "/.cache/quillon";
}

namespace {

void
ignored(const std::string& path, const char* reason)
{
  diagnostic(
    _("quillon: ignoring the catalogue cache %s: %s\n"), path.c_str(), reason);
}

/// Reads at most `limit` + 1 bytes: enough to tell that a file grew beyond
/// the limit since it was looked at.
bool
read_bounded(int fd, std::string& bytes, std::size_t expected)
{
  bytes.resize(std::min(expected, cache_size_limit) + 1);
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = read_some(fd, &bytes[filled], bytes.size() - filled);
    if (got < 0)
      return false;
    if (got == 0)
      break;
    filled += std::size_t(got);
    if (filled == bytes.size() && filled <= cache_size_limit)
      bytes.resize(std::min(bytes.size() * 2, cache_size_limit + 1));
  }
  bytes.resize(filled);
  return true;
}

} // namespace

std::optional<std::vector<PluginRecord>>
read_cache(const std::string& directory, const Digest& key, bool& blocked)
{
  blocked = false;
  if (directory.empty())
    return std::nullopt;
  const std::string path = directory + "/" + cache_file_name;
  // Looked at before it is opened: a device or FIFO is never opened.
  struct stat before;
  if (lstat(path.c_str(), &before) != 0) {
    if (errno != ENOENT && errno != ENOTDIR)
      ignored(path, g_strerror(errno));
    return std::nullopt;
  }
  if (S_ISLNK(before.st_mode)) {
    ignored(path, _("it is a symbolic link"));
    return std::nullopt;
  }
  if (!S_ISREG(before.st_mode)) {
    blocked = S_ISDIR(before.st_mode);
    ignored(path, _("it is not a regular file"));
    return std::nullopt;
  }
  const FileDescriptor fd(
    open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat opened;
  if (!fd || fstat(fd.get(), &opened) != 0) {
    ignored(path, g_strerror(errno));
    return std::nullopt;
  }
  // Checked again on what was opened, which may have been replaced since.
  if (!S_ISREG(opened.st_mode)) {
    ignored(path, _("it is not a regular file"));
    return std::nullopt;
  }
  if (opened.st_uid != geteuid()) {
    ignored(path, _("it belongs to another user"));
    return std::nullopt;
  }
  if (std::size_t(opened.st_size) > cache_size_limit) {
    ignored(path, _("it is too large"));
    return std::nullopt;
  }
  std::string bytes;
  if (!read_bounded(fd.get(), bytes, std::size_t(opened.st_size))) {
    ignored(path, g_strerror(errno));
    return std::nullopt;
  }
  if (bytes.size() > cache_size_limit) {
    ignored(path, _("it is too large"));
    return std::nullopt;
  }
  ParsedCache parsed = parse_cache(bytes, key);
  switch (parsed.verdict) {
    case CacheVerdict::usable:
      return std::move(parsed.records);
    case CacheVerdict::stale:
      return std::nullopt;
    case CacheVerdict::foreign:
      ignored(path, _("it is not a catalogue cache of quillon"));
      return std::nullopt;
    case CacheVerdict::corrupt:
      ignored(path, _("it is damaged or cut short"));
      return std::nullopt;
  }
  return std::nullopt;
}

CacheWriter::CacheWriter(const std::string& directory, const Digest& key)
  : directory_path(directory)
  , buffer(cache_header(key))
  , checksum(g_checksum_new(G_CHECKSUM_SHA256))
{
  if (directory.empty()) {
    failed = true; // No home: there is nowhere to keep a cache.
    return;
  }
  if (g_mkdir_with_parents(directory.c_str(), 0700) != 0) {
    fail(errno);
    return;
  }
  directory_fd =
    open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  struct stat status;
  if (directory_fd < 0 || fstat(directory_fd, &status) != 0) {
    fail(errno);
    return;
  }
  if (status.st_uid != geteuid()) {
    fail(EPERM);
    return;
  }
  if ((status.st_mode & 077) != 0 && fchmod(directory_fd, 0700) != 0) {
    fail(errno);
    return;
  }
  for (int attempt = 0; attempt < 100 && file_fd < 0; ++attempt) {
    temporary_name = "." + std::string(cache_file_name) + "-" +
                     std::to_string(getpid()) + "-" +
                     std::to_string(g_random_int());
    file_fd = openat(directory_fd,
                     temporary_name.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     0600);
    if (file_fd < 0 && errno != EEXIST)
      break;
  }
  if (file_fd < 0) {
    temporary_name.clear();
    fail(errno);
  }
}

CacheWriter::~CacheWriter()
{
  if (file_fd >= 0)
    close(file_fd); // Nothing is kept of a file that did not commit.
  if (!committed && directory_fd >= 0 && !temporary_name.empty())
    unlinkat(directory_fd, temporary_name.c_str(), 0);
  if (directory_fd >= 0)
    close(directory_fd);
  g_checksum_free(checksum);
}

void
CacheWriter::fail(int error)
{
  if (failed)
    return;
  failed = true;
  diagnostic(_("quillon: cannot write the catalogue cache %s/%s: %s\n"),
             directory_path.c_str(),
             cache_file_name,
             g_strerror(error));
}

void
CacheWriter::flush()
{
  if (failed || buffer.empty())
    return;
  g_checksum_update(
    checksum, reinterpret_cast<const guchar*>(buffer.data()), buffer.size());
  if (!write_all(file_fd, buffer))
    fail(errno);
  buffer.clear();
}

void
CacheWriter::add(const PluginRecord& record)
{
  if (failed)
    return;
  encode_record(buffer, record);
  ++count;
  if (buffer.size() >= 64u << 10)
    flush();
}

bool
CacheWriter::commit()
{
  if (failed || committed)
    return committed;
  append_u32(buffer, count);
  flush();
  if (failed)
    return false;
  Digest digest{};
  gsize length = digest.size();
  g_checksum_get_digest(checksum, digest.data(), &length);
  if (!write_all(file_fd, digest.data(), digest.size()) ||
      fsync(file_fd) != 0) {
    fail(errno);
    return false;
  }
  const int closing = close(file_fd);
  file_fd = -1;
  if (closing != 0) {
    fail(errno);
    return false;
  }
  if (renameat(
        directory_fd, temporary_name.c_str(), directory_fd, cache_file_name) !=
      0) {
    fail(errno);
    return false;
  }
  committed = true;
  // The rename is made durable with the directory; if that fails the cache
  // is at worst missing after a crash, which is a full scan.
  fsync(directory_fd);
  return true;
}

} // namespace quillon::catalogue
