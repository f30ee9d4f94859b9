#include "catalogue/row_cache.h"

#include <algorithm>
#include <cstring>
#include <glib.h>

namespace quillon::catalogue {

bool
operator==(const PluginRecord& a, const PluginRecord& b)
{
  return a.uri.raw() == b.uri.raw() && a.named == b.named &&
         a.name.raw() == b.name.raw() &&
         a.class_label.raw() == b.class_label.raw() &&
         a.author.has_value() == b.author.has_value() &&
         (!a.author || a.author->raw() == b.author->raw()) &&
         a.ports.audio_inputs == b.ports.audio_inputs &&
         a.ports.audio_outputs == b.ports.audio_outputs &&
         a.ports.midi_inputs == b.ports.midi_inputs &&
         a.ports.midi_outputs == b.ports.midi_outputs;
}

namespace {

constexpr std::string_view magic = "quillon catalogue cache\n";
constexpr std::size_t digest_size = std::tuple_size<Digest>::value;
constexpr std::size_t header_size = magic.size() + 4 + digest_size;
constexpr std::size_t trailer_size = 4 + digest_size;
/// A flag byte, four empty texts and four counts.
constexpr std::size_t smallest_record = 1 + 4 * 4 + 4 * 4;
constexpr unsigned char named_flag = 1;
constexpr unsigned char author_flag = 2;

void
put_text(std::string& out, const Glib::ustring& text)
{
  append_u32(out, std::uint32_t(text.bytes()));
  out.append(text.raw());
}

std::uint32_t
get_u32(std::string_view bytes, std::size_t at)
{
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i]))
             << (8 * i);
  return value;
}

/// Reads the fields of records, each read checked against the end.
class FieldReader
{
public:
  explicit FieldReader(std::string_view data)
    : bytes(data)
  {
  }

  bool at_end() const { return at == bytes.size(); }

  bool byte(unsigned char& value)
  {
    if (at == bytes.size())
      return false;
    value = static_cast<unsigned char>(bytes[at++]);
    return true;
  }

  bool u32(std::uint32_t& value)
  {
    if (bytes.size() - at < 4)
      return false;
    value = get_u32(bytes, at);
    at += 4;
    return true;
  }

  /// Valid UTF-8 without NUL, as every text lilv gives.
  bool text(Glib::ustring& value)
  {
    std::uint32_t length = 0;
    if (!u32(length) || length > bytes.size() - at)
      return false;
    const char* start = bytes.data() + at;
    // With a length, g_utf8_validate also refuses NUL bytes.
    if (!g_utf8_validate(start, gssize(length), nullptr))
      return false;
    value = Glib::ustring(start, start + length);
    at += length;
    return true;
  }

private:
  std::string_view bytes;
  std::size_t at = 0;
};

Digest
digest_of(std::string_view bytes)
{
  GChecksum* checksum = g_checksum_new(G_CHECKSUM_SHA256);
  g_checksum_update(
    checksum, reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
  Digest digest{};
  gsize length = digest.size();
  g_checksum_get_digest(checksum, digest.data(), &length);
  g_checksum_free(checksum);
  return digest;
}

} // namespace

void
append_u32(std::string& out, std::uint32_t value)
{
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(char((value >> shift) & 0xffu));
}

std::string
cache_header(const Digest& key)
{
  std::string out(magic);
  append_u32(out, cache_format_version);
  out.append(key.begin(), key.end());
  return out;
}

void
encode_record(std::string& out, const PluginRecord& record)
{
  out.push_back(
    char((record.named ? named_flag : 0) | (record.author ? author_flag : 0)));
  put_text(out, record.uri);
  put_text(out, record.named ? record.name : Glib::ustring());
  put_text(out, record.class_label);
  put_text(out, record.author ? *record.author : Glib::ustring());
  append_u32(out, record.ports.audio_inputs);
  append_u32(out, record.ports.audio_outputs);
  append_u32(out, record.ports.midi_inputs);
  append_u32(out, record.ports.midi_outputs);
}

std::optional<std::vector<PluginRecord>>
parse_records(std::string_view body)
{
  std::vector<PluginRecord> records;
  records.reserve(body.size() / smallest_record);
  FieldReader reader(body);
  while (!reader.at_end()) {
    PluginRecord record;
    unsigned char flags = 0;
    Glib::ustring author;
    if (!reader.byte(flags) || (flags & ~(named_flag | author_flag)) != 0 ||
        !reader.text(record.uri) || !reader.text(record.name) ||
        !reader.text(record.class_label) || !reader.text(author) ||
        !reader.u32(record.ports.audio_inputs) ||
        !reader.u32(record.ports.audio_outputs) ||
        !reader.u32(record.ports.midi_inputs) ||
        !reader.u32(record.ports.midi_outputs))
      return std::nullopt;
    record.named = (flags & named_flag) != 0;
    if (!record.named && !record.name.empty())
      return std::nullopt;
    if (flags & author_flag)
      record.author = std::move(author);
    else if (!author.empty())
      return std::nullopt;
    records.push_back(std::move(record));
  }
  return records;
}

std::string
encode_cache(const Digest& key, const std::vector<PluginRecord>& records)
{
  std::string out = cache_header(key);
  for (const auto& record : records)
    encode_record(out, record);
  append_u32(out, std::uint32_t(records.size()));
  const Digest digest = digest_of(out);
  out.append(digest.begin(), digest.end());
  return out;
}

ParsedCache
parse_cache(std::string_view bytes, const Digest& key)
{
  ParsedCache parsed;
  const std::string_view start = bytes.substr(0, magic.size());
  if (start != magic.substr(0, start.size())) {
    parsed.verdict = CacheVerdict::foreign;
    return parsed;
  }
  if (bytes.size() < header_size + trailer_size)
    return parsed; // Corrupt: one of ours, cut short.
  // A cache of another format version may be laid out otherwise from here.
  if (get_u32(bytes, magic.size()) != cache_format_version) {
    parsed.verdict = CacheVerdict::stale;
    return parsed;
  }
  const std::size_t digest_at = bytes.size() - digest_size;
  const Digest digest = digest_of(bytes.substr(0, digest_at));
  if (std::memcmp(digest.data(), bytes.data() + digest_at, digest_size) != 0)
    return parsed;
  if (std::memcmp(key.data(), bytes.data() + magic.size() + 4, digest_size) !=
      0) {
    parsed.verdict = CacheVerdict::stale;
    return parsed;
  }
  const std::size_t count_at = digest_at - 4;
  auto records =
    parse_records(bytes.substr(header_size, count_at - header_size));
  if (!records || records->size() != get_u32(bytes, count_at))
    return parsed;
  parsed.verdict = CacheVerdict::usable;
  parsed.records = std::move(*records);
  return parsed;
}

} // namespace quillon::catalogue
