#pragma once

// Whether a started host failed to start the plugin, and the last lines it
// printed: the rules behind the message a failed launch gets. No toolkit.

#include <cstddef>
#include <deque>
#include <string>

namespace quillon::launch {

/// A host that ends sooner than this after its start failed, whatever its
/// status: a running plugin is not left that fast.
constexpr long long quick_end_ms = 3000;
/// A host that ends with a failure status or a signal sooner than this
/// after its start failed; later it is taken for a plugin the user closed.
constexpr long long watched_ms = 15000;

/// Whether a host that ended `elapsed_ms` after its start with the wait
/// status `wait_status` (as waitpid gives it) counts as a failed launch.
bool
launch_failed(long long elapsed_ms, int wait_status);

/// The last lines of what a host printed, bounded in lines and in bytes
/// per line, however much it prints and whatever bytes it sends.
class OutputTail
{
public:
  explicit OutputTail(std::size_t max_lines = 10,
                      std::size_t max_line_bytes = 300);

  void add(const char* data, std::size_t size);
  /// The kept lines joined by line feeds, without a final one. Empty lines
  /// at the end are left out; a carriage return ends a line too.
  std::string text() const;

private:
  void end_line();

  std::size_t max_lines;
  std::size_t max_line_bytes;
  std::deque<std::string> lines;
  std::string current;
  bool current_cut = false;
};

} // namespace quillon::launch
