#pragma once

// Key events put on the toolkit's queue as the X server's would come: to
// the window, which hands them to its focused widget, with the hardware
// key code of the key that types the symbol.

#include <gtkmm/window.h>

namespace quillon::test {

/// Puts a press (or a release) of `keyval` with the modifiers `state` on
/// the event queue of `window`; the main loop delivers it.
void
put_key(Gtk::Window& window, unsigned keyval, unsigned state, bool press);

/// One press and release, then the loop pumped until they are handled.
void
tap_key(Gtk::Window& window, unsigned keyval, unsigned state);

/// A key held down: `presses` presses (the repeats X sends without a
/// release in between), then one release, then the loop pumped.
void
hold_key(Gtk::Window& window, unsigned keyval, unsigned state, int presses);

} // namespace quillon::test
