#include "catalogue/cache_key.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <link.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillon::catalogue {

std::vector<std::string>
search_directories(const std::string& search_path,
                   const std::function<const char*(const char*)>& environment)
{
  const auto variable = [&environment](std::string& out,
                                       const std::string& name) {
    if (const char* value = environment(name.c_str()))
      out += value;
    else
      out += "$" + name;
  };
  std::vector<std::string> directories;
  std::size_t begin = 0;
  while (begin <= search_path.size()) {
    const std::size_t end =
      std::min(search_path.find(':', begin), search_path.size());
    const std::string entry = search_path.substr(begin, end - begin);
    begin = end + 1;
    if (entry.empty())
      continue;
    std::string expanded;
    for (std::size_t i = 0; i < entry.size();) {
      if (entry[i] == '$') {
        std::size_t j = i + 1;
        while (j < entry.size() &&
               (std::isupper(static_cast<unsigned char>(entry[j])) ||
                std::isdigit(static_cast<unsigned char>(entry[j])) ||
                entry[j] == '_'))
          ++j;
        variable(expanded, entry.substr(i + 1, j - i - 1));
        i = j;
      } else if (entry[i] == '~' &&
                 (i + 1 == entry.size() || entry[i + 1] == '/')) {
        variable(expanded, "HOME");
        ++i;
      } else {
        expanded += entry[i++];
      }
    }
    directories.push_back(expanded);
  }
  return directories;
}

std::string
default_walk_path()
{
  std::string path = "~/.lv2";
#ifdef QUILLON_LIBRARY_ARCHITECTURE
  path += ":/usr/lib/" QUILLON_LIBRARY_ARCHITECTURE "/lv2"
          ":/usr/local/lib/" QUILLON_LIBRARY_ARCHITECTURE "/lv2";
#endif
  path += ":/usr/lib/lv2:/usr/local/lib/lv2:/usr/lib64/lv2"
          ":/usr/local/lib64/lv2";
  return path;
}

namespace {

constexpr long long nanoseconds = 1000000000LL;
/// Time stamps advance by clock ticks of a few milliseconds; a file changed
/// within this span before the walk may change again unseen.
constexpr long long settle_span = 100000000LL;

long long
in_nanoseconds(const timespec& time)
{
  return (long long)(time.tv_sec) * nanoseconds + time.tv_nsec;
}

/// Feeds the walk's records into a SHA-256, in large pieces.
class KeyHash
{
public:
  KeyHash()
    : checksum(g_checksum_new(G_CHECKSUM_SHA256))
  {
    const timespec now = [] {
      timespec time{};
      clock_gettime(CLOCK_REALTIME, &time);
      return time;
    }();
    walk_time = in_nanoseconds(now);
  }
  ~KeyHash() { g_checksum_free(checksum); }
  KeyHash(const KeyHash&) = delete;
  KeyHash& operator=(const KeyHash&) = delete;

  void tag(char kind) { buffer.push_back(kind); }

  void text(const std::string& value)
  {
    number((long long)(value.size()));
    buffer += value;
    flush_if_full();
  }

  void number(long long value)
  {
    buffer.append(reinterpret_cast<const char*>(&value), sizeof value);
  }

  /// One file or directory, or the error that kept it from being seen.
  void status(const struct stat* status, int error)
  {
    if (!status) {
      tag('!');
      number(error);
      return;
    }
    tag('s');
    number(status->st_mode);
    number((long long)(status->st_dev));
    number((long long)(status->st_ino));
    number(status->st_size);
    const long long modified = in_nanoseconds(status->st_mtim);
    const long long changed = in_nanoseconds(status->st_ctim);
    number(modified);
    number(changed);
    // A file system with whole-second time stamps shows no nanoseconds:
    // there a change within the same second or two keeps them.
    const long long span =
      status->st_ctim.tv_nsec == 0 ? 2 * nanoseconds : settle_span;
    if (changed > walk_time - span)
      settled = false;
  }

  Fingerprint finish()
  {
    flush();
    Fingerprint result;
    gsize length = result.key.size();
    g_checksum_get_digest(checksum, result.key.data(), &length);
    result.settled = settled;
    return result;
  }

private:
  void flush_if_full()
  {
    if (buffer.size() >= 64u << 10)
      flush();
  }
  void flush()
  {
    g_checksum_update(
      checksum, reinterpret_cast<const guchar*>(buffer.data()), buffer.size());
    buffer.clear();
  }

  GChecksum* checksum;
  std::string buffer;
  long long walk_time = 0;
  bool settled = true;
};

/// Directories deeper than this under a search directory are not walked;
/// no bundle nests anywhere near it, and a loop of links ends.
constexpr int deepest = 24;

/// Every entry of the directory `fd` (which this takes over) in name
/// order, each with its status, and every directory below it.
void
walk(KeyHash& hash,
     int fd,
     const std::string& prefix,
     int depth,
     std::set<std::pair<dev_t, ino_t>>& seen)
{
  DIR* directory = fdopendir(fd);
  if (!directory) {
    close(fd);
    hash.tag('?');
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = readdir(directory)) {
    if (std::strcmp(entry->d_name, ".") != 0 &&
        std::strcmp(entry->d_name, "..") != 0)
      names.emplace_back(entry->d_name);
  }
  std::sort(names.begin(), names.end());
  const int at = dirfd(directory);
  for (const auto& name : names) {
    const std::string path = prefix + "/" + name;
    hash.tag('e');
    hash.text(path);
    // lilv follows links, so their targets count; a dangling link counts
    // as itself.
    struct stat status;
    if (fstatat(at, name.c_str(), &status, 0) != 0 &&
        fstatat(at, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      hash.status(nullptr, errno);
      continue;
    }
    hash.status(&status, 0);
    if (!S_ISDIR(status.st_mode) || depth >= deepest ||
        !seen.emplace(status.st_dev, status.st_ino).second)
      continue;
    const int sub =
      openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (sub < 0) {
      hash.tag('?');
      continue;
    }
    walk(hash, sub, path, depth + 1, seen);
    hash.tag('u');
  }
  closedir(directory);
}

} // namespace

Fingerprint
fingerprint(const KeyInputs& inputs)
{
  KeyHash hash;
  hash.text("quillon catalogue key");
  hash.number(cache_format_version);
  hash.text(inputs.lilv_version);
  hash.text(inputs.search_path);
  hash.tag(inputs.lang ? 'l' : 'n');
  hash.text(inputs.lang.value_or(""));
  for (const auto& file : inputs.program_files) {
    hash.tag('p');
    hash.text(file);
    struct stat status;
    if (stat(file.c_str(), &status) == 0)
      hash.status(&status, 0);
    else
      hash.status(nullptr, errno);
  }
  std::set<std::pair<dev_t, ino_t>> seen;
  for (const auto& directory : inputs.directories) {
    hash.tag('d');
    hash.text(directory);
    struct stat status;
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &status) != 0) {
      hash.status(nullptr, errno);
      if (fd >= 0)
        close(fd);
      continue;
    }
    hash.status(&status, 0);
    seen.emplace(status.st_dev, status.st_ino);
    walk(hash, fd, std::string(), 0, seen);
  }
  return hash.finish();
}

std::vector<std::string>
loaded_libraries(const std::vector<std::string>& prefixes)
{
  struct Search
  {
    const std::vector<std::string>* prefixes;
    std::vector<std::string> found;
  } search{ &prefixes, {} };
  dl_iterate_phdr(
    [](dl_phdr_info* info, size_t, void* data) {
      auto& wanted = *static_cast<Search*>(data);
      if (!info->dlpi_name || !*info->dlpi_name)
        return 0;
      const char* slash = std::strrchr(info->dlpi_name, '/');
      const std::string base(slash ? slash + 1 : info->dlpi_name);
      for (const auto& prefix : *wanted.prefixes)
        if (base.compare(0, prefix.size(), prefix) == 0) {
          wanted.found.emplace_back(info->dlpi_name);
          break;
        }
      return 0;
    },
    &search);
  return search.found;
}

} // namespace quillon::catalogue
