// The catalogue cache's reader on any bytes: read as records, and as a
// whole cache file. Whatever is accepted is exactly what the writer makes
// of the records read, and no cut of a cache is ever accepted.

#include "catalogue/row_cache.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <glib.h>
#include <string>
#include <string_view>

namespace {

using namespace quillon::catalogue;

bool
valid(const Glib::ustring& text)
{
  return g_utf8_validate(text.data(), gssize(text.bytes()), nullptr);
}

void
check_records(std::string_view bytes)
{
  const auto records = parse_records(bytes);
  if (!records)
    return;
  std::string written;
  for (const auto& record : *records) {
    FUZZ_CHECK(valid(record.uri) && valid(record.name) &&
               valid(record.class_label));
    FUZZ_CHECK(!record.author || valid(*record.author));
    FUZZ_CHECK(record.named || record.name.empty());
    encode_record(written, record);
  }
  FUZZ_CHECK(written == bytes);

  // The records as a cache file read back; every cut of it is refused.
  Digest key{};
  const std::string file = encode_cache(key, *records);
  const ParsedCache parsed = parse_cache(file, key);
  FUZZ_CHECK(parsed.verdict == CacheVerdict::usable);
  FUZZ_CHECK(parsed.records == *records);
  const std::size_t cut =
    bytes.empty() ? 0 : std::size_t(bytes[0]) % file.size();
  FUZZ_CHECK(parse_cache(std::string_view(file).substr(0, cut), key).verdict ==
             CacheVerdict::corrupt);
}

void
check_cache(std::string_view bytes)
{
  Digest key{};
  const ParsedCache parsed = parse_cache(bytes, key);
  if (parsed.verdict == CacheVerdict::usable)
    FUZZ_CHECK(encode_cache(key, parsed.records) == bytes);
  else
    FUZZ_CHECK(parsed.records.empty());
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_records(bytes);
  check_cache(bytes);
  return 0;
}
