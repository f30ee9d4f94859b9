#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace quillon::control {

/// Splits the bytes read from the FIFO into lines, each with its line feed.
/// A partial line waits for the rest; a line longer than `max_line` bytes is
/// delivered once, cut to that length and marked, and the rest of it up to
/// its line feed is dropped. Any bytes at all are accepted.
class LineReader
{
public:
  static constexpr std::size_t max_line = 4096;

  struct Line
  {
    std::string text;
    bool cut = false;
  };

  void feed(const char* bytes, std::size_t count);
  /// Takes the oldest complete line; false when there is none.
  bool next(Line& line);
  bool has_partial() const { return !partial.empty() || dropping; }

private:
  std::string partial;
  bool dropping = false;
  std::deque<Line> lines;
};

} // namespace quillon::control
