#pragma once

// The catalogue cache: what every row is made of, kept between runs so that
// a start whose bundles are unchanged reads no plugin data. It holds lilv's
// raw values only; collation keys and translated texts are made at run time,
// so the locale of the run decides them as it does after a full scan.

#include "catalogue/text_rules.h"

#include <array>
#include <cstddef>
#include <cstdint>
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

/// The start of every cache file made under `key`: the magic line, the
/// format version and the key.
std::string
cache_header(const Digest& key);

/// Appends a 32-bit little-endian number.
void
append_u32(std::string& out, std::uint32_t value);

} // namespace quillon::catalogue
