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

/// The line made safe for a terminal: control characters other than the
/// line feed, and bytes that are not UTF-8, are shown as \xNN.
std::string
printable_line(const std::string& line);

} // namespace quillon::control
