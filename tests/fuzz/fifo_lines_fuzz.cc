// The control FIFO's input path: bytes as a writer may send them, split by
// the line reader in two different ways, then every line classified and
// printed as a diagnostic would print it.

#include "control/line_reader.h"
#include "control/messages.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <glib.h>
#include <string>
#include <vector>

namespace {

using quillon::control::LineReader;
using quillon::control::Message;

/// This process's announcement; seeds hold it and look-alikes of it.
const std::string own_announcement = "PID: 4242";

struct Expected
{
  std::vector<LineReader::Line> lines;
  bool partial = false;
};

/// The lines the reader owes for `input`, worked out line by line: a line
/// of up to max_line bytes comes whole with its line feed, a longer one as
/// its first max_line bytes, marked cut. An unfinished last line is held
/// back, except that an overlong one is already delivered cut.
Expected
expected_lines(const std::string& input)
{
  Expected expected;
  std::size_t start = 0;
  while (start < input.size()) {
    const std::size_t line_feed = input.find('\n', start);
    const std::size_t length =
      (line_feed == std::string::npos ? input.size() : line_feed) - start;
    if (length > LineReader::max_line)
      expected.lines.push_back(
        { input.substr(start, LineReader::max_line), true });
    else if (line_feed != std::string::npos)
      expected.lines.push_back({ input.substr(start, length + 1), false });
    if (line_feed == std::string::npos) {
      expected.partial = true;
      break;
    }
    start = line_feed + 1;
  }
  return expected;
}

void
drain(LineReader& reader, std::vector<LineReader::Line>& lines)
{
  LineReader::Line line;
  while (reader.next(line))
    lines.push_back(std::move(line));
}

bool
same_lines(const std::vector<LineReader::Line>& a,
           const std::vector<LineReader::Line>& b)
{
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].text != b[i].text || a[i].cut != b[i].cut)
      return false;
  return true;
}

/// Compatibility normal form (NFKC): the toolkit compares texts after it,
/// so a line is obeyed exactly when it is equal to a command in this form.
std::string
normal_form(const std::string& text)
{
  gchar* normal =
    g_utf8_normalize(text.data(), gssize(text.size()), G_NORMALIZE_ALL_COMPOSE);
  if (!normal)
    return std::string();
  std::string result(normal);
  g_free(normal);
  return result;
}

bool
is_text(const std::string& line)
{
  return line.find('\0') == std::string::npos &&
         g_utf8_validate(line.data(), gssize(line.size()), nullptr);
}

void
check_classification(const std::string& line)
{
  const Message message =
    quillon::control::classify_line(line, own_announcement);
  if (!is_text(line)) {
    FUZZ_CHECK(message == Message::unknown);
    return;
  }
  static const struct
  {
    const char* text;
    Message message;
  } commands[] = { { "quit\n", Message::quit },
                   { "exit\n", Message::exit },
                   { "show\n", Message::show },
                   { "hide\n", Message::hide },
                   { "systray action\n", Message::systray_action } };
  const std::string normal = normal_form(line);
  for (const auto& command : commands) {
    if (line == command.text)
      FUZZ_CHECK(message == command.message);
    FUZZ_CHECK((message == command.message) == (normal == command.text));
  }
  const bool announces = line.find("PID: ") != std::string::npos;
  if (message == Message::announcement || message == Message::own_announcement)
    FUZZ_CHECK(announces);
  if (line == own_announcement + "\n")
    FUZZ_CHECK(message == Message::own_announcement);
  if (message == Message::own_announcement)
    FUZZ_CHECK(normal == own_announcement + "\n");
  if (announces && message == Message::announcement)
    FUZZ_CHECK(normal != own_announcement + "\n");
}

/// Characters that make a terminal act rather than show: C0 controls other
/// than the line feed, DEL and the C1 controls.
bool
is_terminal_control(gunichar character)
{
  return (character < 0x20 && character != '\n') || character == 0x7f ||
         (character >= 0x80 && character < 0xa0);
}

bool
has_terminal_control(const std::string& text)
{
  for (const char* p = text.data(); p < text.data() + text.size();
       p = quillon::fuzz::next_character(p))
    if (is_terminal_control(g_utf8_get_char(p)))
      return true;
  return false;
}

void
check_printing(const std::string& line)
{
  const std::string shown = quillon::control::printable_line(line);
  FUZZ_CHECK(is_text(shown));
  FUZZ_CHECK(!has_terminal_control(shown));
  // Already printable text stays as it is, so printing twice changes
  // nothing, and line feeds are neither lost nor made up.
  FUZZ_CHECK(quillon::control::printable_line(shown) == shown);
  if (is_text(line) && !has_terminal_control(line))
    FUZZ_CHECK(shown == line);
  std::size_t line_feeds = 0;
  for (const char c : line)
    line_feeds += c == '\n';
  std::size_t shown_line_feeds = 0;
  for (const char c : shown)
    shown_line_feeds += c == '\n';
  FUZZ_CHECK(shown_line_feeds == line_feeds);
  FUZZ_CHECK(shown.size() <= 4 * line.size());
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string input(reinterpret_cast<const char*>(data), size);
  const Expected expected = expected_lines(input);

  // All at once, as one large read.
  LineReader whole;
  whole.feed(input.data(), input.size());
  std::vector<LineReader::Line> whole_lines;
  drain(whole, whole_lines);
  FUZZ_CHECK(same_lines(whole_lines, expected.lines));
  FUZZ_CHECK(whole.has_partial() == expected.partial);

  // In pieces whose sizes the bytes themselves choose (1 to 64 bytes, now
  // and then a large one), taking lines out between reads as the FIFO
  // handler does. The split must not change what comes out.
  LineReader pieces;
  std::vector<LineReader::Line> piece_lines;
  std::size_t done = 0;
  while (done < input.size()) {
    const auto byte = static_cast<unsigned char>(input[done]);
    std::size_t piece = 1 + byte % 64;
    if (byte % 17 == 0)
      piece = LineReader::max_line + byte % 3;
    if (piece > input.size() - done)
      piece = input.size() - done;
    pieces.feed(input.data() + done, piece);
    done += piece;
    drain(pieces, piece_lines);
  }
  FUZZ_CHECK(same_lines(piece_lines, expected.lines));
  FUZZ_CHECK(pieces.has_partial() == expected.partial);

  for (const auto& line : whole_lines) {
    FUZZ_CHECK(line.text.size() <= LineReader::max_line + 1);
    // The FIFO handler never classifies a cut line.
    if (!line.cut)
      check_classification(line.text);
    check_printing(line.text);
  }
  return 0;
}
