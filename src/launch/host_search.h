#pragma once

// The host programs found in PATH: the shell pipeline that lists them and
// the reading of the list it writes.

#include <string>
#include <vector>

namespace quillon::launch {

/// Where the pipeline writes one host command per line, unless that path
/// is refused (see hosts.cc).
extern const char* const host_list_path;

/// The shell command that lists the jalv hosts of PATH into `list_path`;
/// a bare "jalv" becomes "jalv -s". For host_list_path the text is exactly
/// the classic pipeline; any other path is quoted for the shell.
std::string
host_search_command(const std::string& list_path = host_list_path);

struct HostList
{
  std::vector<std::string> entries;
  /// Index of the entry made active, or -1 when there is no entry.
  int active = -1;
};

/// Splits the host list file's text into entries. Lines end at a line feed
/// (a last line without one counts); nothing else is stripped. The line
/// "quillon" is skipped, and a line equal to an earlier one is offered only
/// at its first place: PATH often names one directory twice (/bin and
/// /usr/bin on a merged system).
///
/// The active entry is "jalv.gtk" when there is one; otherwise the first of
/// "jalv.gtk3", "jalv.gtkmm", "jalv.qt6", "jalv.qt5" and "jalv -s" that is
/// present, in that order of preference (GUI hosts first, the console host
/// last); otherwise the first entry.
HostList
parse_host_list(const std::string& text);

} // namespace quillon::launch
