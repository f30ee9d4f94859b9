#pragma once

// Which action a key release on the plugin list asks for. The key values
// and the Control bit are X11's, as GDK passes them on.

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

} // namespace quillon
