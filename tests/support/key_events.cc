#include "support/key_events.h"

#include "support/main_loop.h"

#include <gdk/gdk.h>

namespace quillon::test {

void
put_key(Gtk::Window& window, unsigned keyval, unsigned state, bool press)
{
  GdkEvent* event = gdk_event_new(press ? GDK_KEY_PRESS : GDK_KEY_RELEASE);
  GdkEventKey& key = event->key;
  // The event owns a reference to its window and its string.
  key.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
  key.send_event = FALSE;
  key.time = GDK_CURRENT_TIME;
  key.keyval = keyval;
  key.state = state;
  key.string = g_strdup("");
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(
        gdk_keymap_get_default(), keyval, &keys, &count) &&
      count > 0) {
    key.hardware_keycode = guint16(keys[0].keycode);
    key.group = guint8(keys[0].group);
  }
  g_free(keys);
  gdk_event_put(event);
  gdk_event_free(event);
}

void
tap_key(Gtk::Window& window, unsigned keyval, unsigned state)
{
  hold_key(window, keyval, state, 1);
}

void
hold_key(Gtk::Window& window, unsigned keyval, unsigned state, int presses)
{
  for (int press = 0; press < presses; ++press)
    put_key(window, keyval, state, true);
  put_key(window, keyval, state, false);
  pump_pending();
}

} // namespace quillon::test
