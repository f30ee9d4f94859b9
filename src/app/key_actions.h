#pragma once

// Which action a key asks for, and which presses of a held key repeat it.
// The key values and the Control bit are X11's, as GDK passes them on.

#include <set>

namespace quillon {

enum class KeyAction
{
  none,
  launch_menu, ///< when the cursor is in the name column
  copy_uri,
  quit,
  refresh,
  toggle_window
};

namespace keys {
constexpr unsigned return_key = 0xff0d;
constexpr unsigned space = 0x020;
constexpr unsigned control_mask = 1u << 2;
} // namespace keys

/// Return and space on the key value alone, then Control with C, Q, R or W
/// in either case.
KeyAction
key_action(unsigned keyval, unsigned state);

/// Quit, Refresh and the window toggle: the window acts on them when the key
/// is pressed, wherever the focus is. The others belong to the list, which
/// acts on the release; elsewhere the focused widget has them (Control+C
/// copies the search field's text).
bool
is_window_shortcut(KeyAction action);

/// The keys held down, by hardware key code, so that the presses a held key
/// repeats are told from new ones.
class HeldKeys
{
public:
  /// Records a press; true when the key was down already (a repeat). Key
  /// code 0, an event that names no key, is never a repeat.
  bool press(unsigned keycode);
  void release(unsigned keycode);
  /// Forgets every key: the releases will go to another window.
  void clear() { held.clear(); }

private:
  std::set<unsigned> held;
};

} // namespace quillon
