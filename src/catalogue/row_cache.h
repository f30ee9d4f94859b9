#pragma once

// The catalogue cache: what every row is made of, kept between runs so that
// a start whose bundles are unchanged reads no plugin data. It holds lilv's
// raw values only; collation keys and translated texts are made at run time,
// so the locale of the run decides them as it does after a full scan.

#include "catalogue/text_rules.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <glib.h>
#include <glibmm/ustring.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::catalogue {

/// One plugin as lilv describes it, in lilv's iteration order.
struct PluginRecord
{
  Glib::ustring uri;
  /// False for a plugin without a name (counted as invalid).
  bool named = false;
  /// The uncut name; empty when not named.
  Glib::ustring name;
  Glib::ustring class_label;
  /// The author's name, or the project's when there is no author.
  std::optional<Glib::ustring> author;
  PortCounts ports;
};

bool
operator==(const PluginRecord& a, const PluginRecord& b);

/// A SHA-256 digest: of what decides the rows (cache_key.h), or of a file.
using Digest = std::array<unsigned char, 32>;

/// The version of the file layout below; part of every key too.
constexpr unsigned cache_format_version = 1;

/// Files larger than this are not read: no real catalogue comes near it
/// (about 200 bytes per plugin).
constexpr std::size_t cache_size_limit = 64u << 20;

/// Appends the encoding of one record: a flag byte (1 named, 2 author),
/// the URI, name, class label and author as 32-bit little-endian lengths and
/// bytes, then the four port counts as 32-bit little-endian numbers.
void
encode_record(std::string& out, const PluginRecord& record);

/// Reads records that fill `body` exactly, or nothing when any byte differs
/// from what encode_record writes: an unknown flag, a text that is not
/// valid UTF-8 or holds a NUL, a name or author without its flag, a length
/// beyond the end.
std::optional<std::vector<PluginRecord>>
parse_records(std::string_view body);

/// A whole cache file: the magic line, the format version, the key, the
/// records, their count and the SHA-256 of everything before it.
std::string
encode_cache(const Digest& key, const std::vector<PluginRecord>& records);

enum class CacheVerdict
{
  /// Records made under this key.
  usable,
  /// A cache of another key or format version: things changed.
  stale,
  /// Not a cache of this program.
  foreign,
  /// Truncated or damaged.
  corrupt
};

struct ParsedCache
{
  CacheVerdict verdict = CacheVerdict::corrupt;
  std::vector<PluginRecord> records;
};

/// Checks and reads the bytes of a cache file for `key`.
ParsedCache
parse_cache(std::string_view bytes, const Digest& key);

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
/// in its place is opened without waiting.
std::optional<std::vector<PluginRecord>>
read_cache(const std::string& directory, const Digest& key);

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
