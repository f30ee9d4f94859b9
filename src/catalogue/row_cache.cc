#include "catalogue/row_cache.h"

#include "common/diagnostics.h"
#include "common/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <glib/gi18n.h>
#include <sys/stat.h>
#include <unistd.h>

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
put_u32(std::string& out, std::uint32_t value)
{
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(char((value >> shift) & 0xffu));
}

void
put_text(std::string& out, const Glib::ustring& text)
{
  put_u32(out, std::uint32_t(text.bytes()));
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

std::string
header_of(const Digest& key)
{
  std::string out(magic);
  put_u32(out, cache_format_version);
  out.append(key.begin(), key.end());
  return out;
}

} // namespace

void
encode_record(std::string& out, const PluginRecord& record)
{
  out.push_back(
    char((record.named ? named_flag : 0) | (record.author ? author_flag : 0)));
  put_text(out, record.uri);
  put_text(out, record.named ? record.name : Glib::ustring());
  put_text(out, record.class_label);
  put_text(out, record.author ? *record.author : Glib::ustring());
  put_u32(out, record.ports.audio_inputs);
  put_u32(out, record.ports.audio_outputs);
  put_u32(out, record.ports.midi_inputs);
  put_u32(out, record.ports.midi_outputs);
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
  std::string out = header_of(key);
  for (const auto& record : records)
    encode_record(out, record);
  put_u32(out, std::uint32_t(records.size()));
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
read_cache(const std::string& directory, const Digest& key)
{
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
  , buffer(header_of(key))
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
  put_u32(buffer, count);
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
