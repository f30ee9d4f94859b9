// Showing and hiding the window, and the tray menu. The window keeps its
// position across hiding so that it comes back where it was.

#include "app/plugin_list.h"

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
  if (is_hidden(*this)) {
    if (options.systray)
      options.systray = false;
    else
      move(window_x, window_y);
    present();
    unselect_and_focus();
  } else {
    get_window()->get_root_origin(window_x, window_y);
    hide();
  }
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
