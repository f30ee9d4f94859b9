#pragma once

// The catalogue cache on disk: where it is kept, reading it without ever
// trusting it, and writing it so that a reader sees the old file or the
// new one, never a part.

#include "catalogue/row_cache.h"

#include <glib.h>
#include <optional>
#include <string>
#include <vector>

namespace quillon::catalogue {

/// $XDG_CACHE_HOME/quillon when XDG_CACHE_HOME is an absolute path, else
/// $HOME/.cache/quillon; empty when neither is known.
std::string
cache_directory();

/// The file's name in the cache directory.
constexpr const char* cache_file_name = "catalogue";

/// The records of the cache in `directory` when it was made under `key`.
/// A missing or stale cache is nothing to report; one that is not a
/// regular file of this user (a symbolic link is not followed), too large,
/// foreign or damaged gets one diagnostic line. Nothing ever blocks: a FIFO
/// in its place is never opened. `blocked` tells that a directory stands
/// where the file belongs, so that no new cache can be put there.
std::optional<std::vector<PluginRecord>>
read_cache(const std::string& directory, const Digest& key, bool& blocked);

/// Writes a cache record by record into a temporary file beside the cache
/// (mode 0600, in a directory of mode 0700 made when missing) and puts it in
/// place with one rename after fsync. Any failure (full disk, read-only
/// directory) leaves the old cache or none, and one diagnostic line.
class CacheWriter
{
public:
  CacheWriter(const std::string& directory, const Digest& key);
  ~CacheWriter();
  CacheWriter(const CacheWriter&) = delete;
  CacheWriter& operator=(const CacheWriter&) = delete;

  void add(const PluginRecord& record);
  /// Finishes the file and renames it into place; false on failure.
  bool commit();

private:
  void flush();
  void fail(int error);

  std::string directory_path;
  int directory_fd = -1;
  int file_fd = -1;
  std::string temporary_name;
  std::string buffer;
  GChecksum* checksum = nullptr;
  std::uint32_t count = 0;
  bool failed = false;
  bool committed = false;
};

} // namespace quillon::catalogue
