#include "control/line_reader.h"

#include <cstring>

namespace quillon::control {

void
LineReader::feed(const char* bytes, std::size_t count)
{
  const char* const end = bytes + count;
  while (bytes < end) {
    const auto* line_feed =
      static_cast<const char*>(std::memchr(bytes, '\n', end - bytes));
    const char* const stop = line_feed ? line_feed : end;
    const std::size_t length = stop - bytes;
    if (!dropping) {
      if (partial.size() + length > max_line) {
        // Too long: what fits is delivered once, the rest of the line is
        // dropped up to its line feed.
        partial.append(bytes, max_line - partial.size());
        lines.push_back({ std::move(partial), true });
        partial.clear();
        dropping = true;
      } else {
        partial.append(bytes, length);
      }
    }
    if (!line_feed)
      break;
    if (dropping) {
      dropping = false;
    } else {
      partial += '\n';
      lines.push_back({ std::move(partial), false });
      partial.clear();
    }
    bytes = line_feed + 1;
  }
}

bool
LineReader::next(Line& line)
{
  if (lines.empty())
    return false;
  line = std::move(lines.front());
  lines.pop_front();
  return true;
}

} // namespace quillon::control
