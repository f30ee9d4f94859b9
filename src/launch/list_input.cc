// Mouse and key handling of the plugin list: the launch menu and the copy
// of a plugin's URI. The window's Control-key shortcuts are taken on the
// press, by the window (app/shortcuts.cc).

#include "app/key_actions.h"
#include "app/plugin_list.h"
#include "launch/commands.h"

#include <gdk/gdk.h>
#include <gdk/gdkkeysyms.h>
#include <gtkmm/clipboard.h>
#include <string>

namespace quillon {

static_assert(keys::return_key == GDK_KEY_Return &&
                keys::space == GDK_KEY_space &&
                keys::control_mask == GDK_CONTROL_MASK,
              "the key values are X11's, as GDK passes them on");

namespace {

bool
cursor_in_name_column(Gtk::TreeView& view)
{
  Gtk::TreeModel::Path path;
  Gtk::TreeViewColumn* column = nullptr;
  view.get_cursor(path, column);
  return column && column == view.get_column(0);
}

} // namespace

void
LV2PluginList::on_button_release(GdkEventButton* event)
{
  if (event->type != GDK_BUTTON_RELEASE)
    return;
  if (event->button == 1) {
    if (cursor_in_name_column(tree_view))
      show_launch_menu();
  } else if (event->button == 3) {
    copy_uri();
  }
}

bool
LV2PluginList::on_key_release(GdkEventKey* event)
{
  switch (key_event_action(*event)) {
    case KeyAction::launch_menu:
      if (cursor_in_name_column(tree_view))
        show_launch_menu();
      break;
    case KeyAction::copy_uri:
      copy_uri();
      break;
    case KeyAction::quit:
    case KeyAction::refresh:
    case KeyAction::toggle_window:
      // The window acted on the press already.
    case KeyAction::none:
      break;
  }
  return true;
}

void
LV2PluginList::show_launch_menu()
{
  const Gtk::TreeModel::iterator selected = selection->get_selected();
  if (!selected)
    return;
  const Gtk::TreeModel::Row row = *selected;
  const LilvPlugin* plugin = row.get_value(columns.plugin);
  // The host finds the plugin by the URI exactly as lilv read it; the row
  // shows it made valid UTF-8, which may differ.
  const std::string uri = plugin
                            ? lilv_node_as_string(lilv_plugin_get_uri(plugin))
                            : row.get_value(columns.uri).raw();
  presets.show_presets(launch::command_tail(uri), plugin, world.get());
}

void
LV2PluginList::copy_uri()
{
  const Gtk::TreeModel::iterator selected = selection->get_selected();
  if (!selected)
    return;
  const Glib::ustring uri = selected->get_value(columns.uri);
  Glib::RefPtr<Gtk::Clipboard> clipboard =
    Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD);
  clipboard->set_text(uri);
  // Lets a clipboard manager keep the text once the program has ended.
  clipboard->set_can_store();
}

} // namespace quillon
