#include "launch/host_outcome.h"

#include <sys/wait.h>

namespace quillon::launch {

bool
launch_failed(long long elapsed_ms, int wait_status)
{
  if (elapsed_ms < quick_end_ms)
    return true;
  if (elapsed_ms >= watched_ms)
    return false;
  return WIFSIGNALED(wait_status) ||
         (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) != 0);
}

OutputTail::OutputTail(std::size_t lines_kept, std::size_t line_bytes)
  : max_lines(lines_kept)
  , max_line_bytes(line_bytes)
{
}

void
OutputTail::add(const char* data, std::size_t size)
{
  for (std::size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (c == '\n' || c == '\r') {
      end_line();
    } else if (current.size() < max_line_bytes) {
      current += c;
    } else if (!current_cut) {
      current += "…";
      current_cut = true;
    }
  }
}

void
OutputTail::end_line()
{
  // Progress lines ("\r...") and blank lines would push the words that
  // matter out of the few lines kept.
  if (!current.empty()) {
    lines.push_back(std::move(current));
    if (lines.size() > max_lines)
      lines.pop_front();
  }
  current.clear();
  current_cut = false;
}

std::string
OutputTail::text() const
{
  std::deque<const std::string*> shown;
  for (const std::string& line : lines)
    shown.push_back(&line);
  if (!current.empty()) {
    shown.push_back(&current);
    if (shown.size() > max_lines)
      shown.pop_front();
  }
  std::string result;
  for (const std::string* line : shown) {
    if (!result.empty())
      result += '\n';
    result += *line;
  }
  return result;
}

} // namespace quillon::launch
