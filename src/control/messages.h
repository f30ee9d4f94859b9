#pragma once

// The lines of the control FIFO and how a line is recognised.

#include <string>

namespace quillon::control {

enum class Message
{
  quit,
  exit,
  show,
  hide,
  systray_action,
  /// A "PID: " line of another instance.
  announcement,
  /// This process's own "PID: " line, read back.
  own_announcement,
  unknown
};

/// What a line (with its line feed) asks for. `announcement` is this
/// process's own, without the line feed. A line that is not valid UTF-8 or
/// holds a NUL byte is unknown.
Message
classify_line(const std::string& line, const std::string& announcement);

/// What the owner of the FIFO does with a line it has read.
enum class Reaction
{
  /// End at once, without saving.
  quit,
  /// Hide the window and end at the next idle moment, without saving.
  leave,
  show,
  hide,
  systray_action,
  /// Write "exit" for the newcomer, leave that line to it for a moment,
  /// and bring the window forward.
  answer,
  /// Nothing to do: an answer of this process, or of the owner it took over
  /// from, read back.
  drop,
  /// Report the line as unknown.
  report
};

/// The owner's bookkeeping of the "exit" lines in the FIFO. Newcomers do
/// not read the FIFO, so each "exit" an owner writes comes back to it.
class OwnerLines
{
public:
  /// What to do with a line of this kind; counts the answers written.
  Reaction react(Message message);
  /// While true, an "exit" that is not this process's own was written by
  /// the owner that died before this process took over: it is dropped.
  void set_taking_over(bool on) { taking_over = on; }
  unsigned outstanding() const { return answers_outstanding; }

private:
  unsigned answers_outstanding = 0;
  bool taking_over = false;
};

/// The line made safe for a terminal: control characters other than the
/// line feed, and bytes that are not UTF-8, are shown as \xNN.
std::string
printable_line(const std::string& line);

} // namespace quillon::control
