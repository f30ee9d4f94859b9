// Showing and hiding the window, and the tray menu. The window keeps its
// position across hiding so that it comes back where it was.

#include "app/desktop_hints.h"
#include "app/plugin_list.h"
#include "app/window_toggle.h"

#include <gdkmm/window.h>
#include <gtk/gtk.h>

namespace quillon {

namespace {

/// Withdrawn or iconified: a window the user minimised counts as hidden.
bool
is_hidden(const Gtk::Window& window)
{
  const Glib::RefPtr<const Gdk::Window> gdk_window = window.get_window();
  if (!gdk_window)
    return true;
  return (gdk_window->get_state() &
          (Gdk::WINDOW_STATE_WITHDRAWN | Gdk::WINDOW_STATE_ICONIFIED)) != 0;
}

} // namespace

void
LV2PluginList::close_window()
{
  hide();
}

void
LV2PluginList::unselect_and_focus()
{
  if (const Gtk::TreeModel::iterator row = selection->get_selected())
    selection->unselect(row);
  tree_view.grab_focus();
}

void
LV2PluginList::systray_action()
{
  const bool hidden = is_hidden(*this);
  // Read only for a shown window: a hidden one is never the active one.
  const bool active =
    !hidden && window_is_active(desktop::manager_says_active(gobj()),
                                property_is_active().get_value());
  switch (toggle_action(hidden, active)) {
    case ToggleAction::show:
      if (options.systray)
        options.systray = false;
      else
        move(window_x, window_y);
      present();
      unselect_and_focus();
      break;
    case ToggleAction::bring_forward:
      bring_forward();
      break;
    case ToggleAction::hide:
      get_window()->get_root_origin(window_x, window_y);
      hide();
      break;
  }
}

void
LV2PluginList::bring_forward()
{
  // The user asked on the desktop they are on: the window comes there,
  // rather than taking them to another.
  if (const auto desktop = desktop_to_move_to(desktop::window_desktop(gobj()),
                                              desktop::current_desktop(gobj())))
    desktop::move_to_desktop(gobj(), *desktop);
  show_window();
}

void
LV2PluginList::show_window()
{
  if (is_hidden(*this)) {
    if (!options.systray && window_x + window_y > 1)
      move(window_x, window_y);
  } else {
    get_window()->get_root_origin(window_x, window_y);
  }
  present();
  unselect_and_focus();
}

void
LV2PluginList::hide_window()
{
  if (is_hidden(*this))
    return;
  get_window()->get_root_origin(window_x, window_y);
  hide();
}

void
LV2PluginList::systray_menu(guint /*button*/, guint32 /*activate_time*/)
{
  tray_menu.show_all();
  tray_menu.popup(2, gtk_get_current_event_time());
}

} // namespace quillon
