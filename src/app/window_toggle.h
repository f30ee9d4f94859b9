#pragma once

// What the tray click, the hot-key and the FIFO's "systray action" do with
// the window: show it when hidden, bring it forward when it is shown behind
// other windows or on another desktop, hide it only when the user is
// looking at it.

#include <optional>

namespace quillon {

enum class ToggleAction
{
  show,
  bring_forward,
  hide
};

/// The toggle's action for a window that is `hidden` (withdrawn or
/// minimised) or shown, and then `active` or not.
ToggleAction
toggle_action(bool hidden, bool active);

/// Whether the window is the active one: it has the keyboard focus by the
/// toolkit's state, or the window manager names it (_NET_ACTIVE_WINDOW).
/// Either may lag: the toolkit drops the focus while the hot-key's grab is
/// held, the manager updates its property after the focus has moved.
bool
window_is_active(std::optional<bool> manager_says, bool toolkit_says);

/// The desktop to move the window to before it is brought forward: the
/// current one when the window is on another. None when either is unknown,
/// or the window is on the current one or on all of them.
std::optional<unsigned long>
desktop_to_move_to(std::optional<unsigned long> window_desktop,
                   std::optional<unsigned long> current_desktop);

} // namespace quillon
