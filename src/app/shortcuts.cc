// The window's Control-key shortcuts, taken on the key press wherever the
// focus is, once per press of the key.

#include "app/key_actions.h"
#include "app/plugin_list.h"

#include <gdk/gdk.h>

namespace quillon {

KeyAction
LV2PluginList::key_event_action(const GdkEventKey& event)
{
  const KeyAction action = key_action(event.keyval, event.state);
  if (action != KeyAction::none || event.group == 0 ||
      event.hardware_keycode == 0)
    return action;
  // The key's symbol in the first layout of the keymap, usually the Latin
  // one the letters of the shortcuts come from.
  guint first_layout_keyval = 0;
  if (!gdk_keymap_translate_keyboard_state(gdk_keymap_get_default(),
                                           event.hardware_keycode,
                                           GdkModifierType(event.state),
                                           0,
                                           &first_layout_keyval,
                                           nullptr,
                                           nullptr,
                                           nullptr))
    return action;
  return key_action(first_layout_keyval, event.state);
}

bool
LV2PluginList::on_window_key_press(GdkEventKey* event)
{
  // X repeats the press of a held key without releasing it in between.
  const bool repeated = held_keys.press(event->hardware_keycode);
  const KeyAction action = key_event_action(*event);
  if (!is_window_shortcut(action))
    return false;
  if (repeated)
    return true;
  switch (action) {
    case KeyAction::quit:
      on_quit();
      break;
    case KeyAction::refresh:
      on_refresh();
      break;
    case KeyAction::toggle_window:
      systray_action();
      break;
    default:
      break;
  }
  return true;
}

bool
LV2PluginList::on_window_key_release(GdkEventKey* event)
{
  held_keys.release(event->hardware_keycode);
  return false;
}

bool
LV2PluginList::on_window_focus_out(GdkEventFocus* /*event*/)
{
  // The releases of the keys held now go to the window that has the focus.
  held_keys.clear();
  return false;
}

} // namespace quillon
