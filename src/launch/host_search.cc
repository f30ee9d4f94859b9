#include "launch/host_search.h"

#include "launch/commands.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

namespace quillon::launch {

const char* const host_list_path = "/tmp/jalv.interpreter";

std::string
host_search_command(const std::string& list_path)
{
  return "echo $PATH | tr ':' '\n' | xargs ls  | grep jalv | gawk '{if ($0 == "
         "\"jalv\") {print \"jalv -s\"} else {print $0}}' >" +
         shell_path(list_path);
}

namespace {

/// The hosts made active when they are found, best first.
const char* const preferred_hosts[] = { "jalv.gtk", "jalv.gtk3", "jalv.gtkmm",
                                        "jalv.qt6", "jalv.qt5",  "jalv -s" };

} // namespace

HostList
parse_host_list(const std::string& text)
{
  HostList hosts;
  std::unordered_set<std::string> seen;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;

    if (line == "quillon")
      continue;
    if (!seen.insert(line).second)
      continue;
    hosts.entries.push_back(std::move(line));
  }

  if (hosts.entries.empty())
    return hosts;
  hosts.active = 0;
  for (const char* const preferred : preferred_hosts) {
    const auto found =
      std::find(hosts.entries.begin(), hosts.entries.end(), preferred);
    if (found != hosts.entries.end()) {
      hosts.active =
        static_cast<int>(std::distance(hosts.entries.begin(), found));
      break;
    }
  }
  return hosts;
}

} // namespace quillon::launch
