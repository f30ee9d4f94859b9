#pragma once

// What the window manager says about a toplevel window through its EWMH
// properties, and the requests it takes through client messages.

#include <optional>

typedef struct _GtkWindow GtkWindow;

namespace quillon::desktop {

/// Whether the window manager names `window` its active window; empty when
/// there is no manager that keeps _NET_ACTIVE_WINDOW.
std::optional<bool>
manager_says_active(GtkWindow* window);

/// The desktop `window` is on (_NET_WM_DESKTOP), when the manager says.
std::optional<unsigned long>
window_desktop(GtkWindow* window);

/// The desktop shown now (_NET_CURRENT_DESKTOP), when the manager says.
std::optional<unsigned long>
current_desktop(GtkWindow* window);

/// Asks the window manager to move `window` to `desktop`.
void
move_to_desktop(GtkWindow* window, unsigned long desktop);

} // namespace quillon::desktop
