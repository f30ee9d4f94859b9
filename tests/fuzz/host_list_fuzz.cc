// The host list file: whatever the listing pipeline (or anyone who managed
// to write the file) left in it. Checked by properties, not by a second
// parser: no line lost or invented, each offered once in the order of its
// first appearance, a round trip changes nothing, and the active entry is
// the best host there is.

#include "fuzz_check.h"
#include "launch/host_search.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string>
lines_of(const std::string& text)
{
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using quillon::launch::HostList;
  using quillon::launch::parse_host_list;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const HostList hosts = parse_host_list(text);
  const std::vector<std::string> lines = lines_of(text);

  // Nothing invented, each entry once, and in the order lines first come.
  std::set<std::string> seen;
  std::size_t last_first_place = 0;
  for (std::size_t i = 0; i < hosts.entries.size(); ++i) {
    const std::string& entry = hosts.entries[i];
    FUZZ_CHECK(entry != "quillon");
    FUZZ_CHECK(entry.find('\n') == std::string::npos);
    FUZZ_CHECK(seen.insert(entry).second);
    const auto first = std::find(lines.begin(), lines.end(), entry);
    FUZZ_CHECK(first != lines.end());
    const auto place = static_cast<std::size_t>(first - lines.begin());
    FUZZ_CHECK(i == 0 || place > last_first_place);
    last_first_place = place;
  }
  // Nothing lost.
  for (const std::string& line : lines)
    FUZZ_CHECK(line == "quillon" || seen.count(line) == 1);

  // The entries written back one per line read as the same entries.
  std::string again;
  for (const std::string& entry : hosts.entries)
    again += entry + '\n';
  const HostList reread = parse_host_list(again);
  FUZZ_CHECK(reread.entries == hosts.entries);
  FUZZ_CHECK(reread.active == hosts.active);

  // The active entry: none without entries; otherwise the most preferred
  // host present, or the first entry.
  if (hosts.entries.empty()) {
    FUZZ_CHECK(hosts.active == -1);
    return 0;
  }
  FUZZ_CHECK(hosts.active >= 0 &&
             hosts.active < static_cast<int>(hosts.entries.size()));
  const std::string& active = hosts.entries[std::size_t(hosts.active)];
  static const std::vector<std::string> preference = {
    "jalv.gtk", "jalv.gtk3", "jalv.gtkmm", "jalv.qt6", "jalv.qt5", "jalv -s"
  };
  const auto best = std::find_if(
    preference.begin(), preference.end(), [&](const std::string& host) {
      return seen.count(host) != 0;
    });
  if (best == preference.end())
    FUZZ_CHECK(hosts.active == 0);
  else
    FUZZ_CHECK(active == *best);
  return 0;
}
