// The host list file: whatever the listing pipeline (or anyone who managed
// to write the file) left in it.

#include "fuzz_check.h"
#include "launch/host_list.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  const quillon::launch::HostList hosts =
    quillon::launch::parse_host_list(text);

  // Walk the text's lines alongside the entries: every line other than
  // "quillon" is the next entry, byte for byte, and nothing else is.
  std::size_t next_entry = 0;
  int last_gtk = -1;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line == "quillon")
      continue;
    FUZZ_CHECK(next_entry < hosts.entries.size());
    FUZZ_CHECK(hosts.entries[next_entry] == line);
    if (line == "jalv.gtk")
      last_gtk = static_cast<int>(next_entry);
    ++next_entry;
  }
  FUZZ_CHECK(next_entry == hosts.entries.size());

  // The active entry is the last "jalv.gtk", or none.
  FUZZ_CHECK(hosts.active == last_gtk);
  FUZZ_CHECK(hosts.active >= -1 &&
             hosts.active < static_cast<int>(hosts.entries.size()));
  if (hosts.active >= 0)
    FUZZ_CHECK(hosts.entries[std::size_t(hosts.active)] == "jalv.gtk");
  return 0;
}
