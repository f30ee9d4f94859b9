#pragma once

// The host programs found in PATH: the shell pipeline that lists them and
// the reading of the list it writes.

#include <string>
#include <vector>

namespace quillon::launch {

/// Where the pipeline writes one host command per line.
extern const char* const host_list_path;

/// The shell command that lists the jalv hosts of PATH into host_list_path;
/// a bare "jalv" becomes "jalv -s".
extern const char* const host_search_command;

struct HostList
{
  std::vector<std::string> entries;
  /// Index of the entry made active: the last "jalv.gtk", or -1.
  int active = -1;
};

/// Splits the host list file's text into entries. Lines end at a line feed
/// (a last line without one counts); nothing else is stripped. The line
/// "quillon" is skipped and does not count for the active index.
HostList
parse_host_list(const std::string& text);

} // namespace quillon::launch
