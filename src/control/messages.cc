#include "control/messages.h"

#include <cstdio>
#include <glibmm/ustring.h>

namespace quillon::control {

namespace {

/// Equality as the toolkit compares texts (locale collation); both texts
/// are valid UTF-8 here.
bool
same_text(const std::string& a, const char* b)
{
  return Glib::ustring(a).compare(b) == 0;
}

} // namespace

Message
classify_line(const std::string& line, const std::string& announcement)
{
  if (line.find('\0') != std::string::npos ||
      !g_utf8_validate(line.data(), line.size(), nullptr))
    return Message::unknown;
  if (same_text(line, "quit\n"))
    return Message::quit;
  if (same_text(line, "exit\n"))
    return Message::exit;
  if (same_text(line, "show\n"))
    return Message::show;
  if (same_text(line, "hide\n"))
    return Message::hide;
  if (same_text(line, "systray action\n"))
    return Message::systray_action;
  if (line.find("PID: ") != std::string::npos) {
    const std::string own = announcement + "\n";
    return g_utf8_validate(own.data(), own.size(), nullptr) &&
               same_text(line, own.c_str())
             ? Message::own_announcement
             : Message::announcement;
  }
  return Message::unknown;
}

Reaction
OwnerLines::react(Message message)
{
  switch (message) {
    case Message::quit:
      return Reaction::quit;
    case Message::exit:
      if (answers_outstanding > 0) {
        --answers_outstanding;
        return Reaction::drop;
      }
      return taking_over ? Reaction::drop : Reaction::leave;
    case Message::show:
    case Message::own_announcement:
      return Reaction::show;
    case Message::hide:
      return Reaction::hide;
    case Message::systray_action:
      return Reaction::systray_action;
    case Message::announcement:
      ++answers_outstanding;
      return Reaction::answer;
    case Message::unknown:
      break;
  }
  return Reaction::report;
}

std::string
printable_line(const std::string& line)
{
  std::string shown;
  const char* position = line.data();
  const char* const end = position + line.size();
  const auto escape = [&shown](unsigned char byte) {
    char code[8];
    std::snprintf(code, sizeof code, "\\x%02x", byte);
    shown += code;
  };
  while (position < end) {
    const gunichar character =
      g_utf8_get_char_validated(position, end - position);
    if (character == gunichar(-1) || character == gunichar(-2)) {
      escape(static_cast<unsigned char>(*position));
      ++position;
      continue;
    }
    // A validated character is encoded in exactly this many bytes; the
    // length avoids g_utf8_next_char, whose cast drops the const.
    const char* const next = position + g_unichar_to_utf8(character, nullptr);
    if (character == '\n' || (character >= 0x20 && character != 0x7f &&
                              !(character >= 0x80 && character < 0xa0)))
      shown.append(position, next);
    else if (character < 0x80)
      escape(static_cast<unsigned char>(character));
    else
      for (const char* byte = position; byte < next; ++byte)
        escape(static_cast<unsigned char>(*byte));
    position = next;
  }
  return shown;
}

} // namespace quillon::control
