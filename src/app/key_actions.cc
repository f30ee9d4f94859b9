#include "app/key_actions.h"

namespace quillon {

KeyAction
key_action(unsigned keyval, unsigned state)
{
  if (keyval == keys::return_key || keyval == keys::space)
    return KeyAction::launch_menu;
  if (!(state & keys::control_mask))
    return KeyAction::none;
  // Bit 0x20 cleared: the lower-case letter reads as its capital.
  switch (keyval & ~0x20u) {
    case 'C':
      return KeyAction::copy_uri;
    case 'Q':
      return KeyAction::quit;
    case 'R':
      return KeyAction::refresh;
    case 'W':
      return KeyAction::toggle_window;
    default:
      return KeyAction::none;
  }
}

bool
is_window_shortcut(KeyAction action)
{
  return action == KeyAction::quit || action == KeyAction::refresh ||
         action == KeyAction::toggle_window;
}

bool
HeldKeys::press(unsigned keycode)
{
  if (keycode == 0)
    return false;
  return !held.insert(keycode).second;
}

void
HeldKeys::release(unsigned keycode)
{
  held.erase(keycode);
}

} // namespace quillon
