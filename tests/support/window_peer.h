#pragma once

// The tests' one way into the main window's private state: references to
// the members a test reads or sets, made where the window allows it.

#include "app/plugin_list.h"

namespace quillon::test {

class WindowPeer
{
public:
  explicit WindowPeer(LV2PluginList& window)
    : columns(window.columns)
    , class_labels(window.class_labels)
    , favorites(window.favorites)
    , blacklist(window.blacklist)
    , host_combo(window.host_combo)
    , quit_button(window.quit_button)
    , fav_button(window.fav_button)
    , bl_button(window.bl_button)
    , refresh_button(window.refresh_button)
    , search_combo(window.search_combo)
    , tree_view(window.tree_view)
    , tray_menu(window.tray_menu)
    , quit_item(window.quit_item)
    , window_x(window.window_x)
    , window_y(window.window_y)
    , valid_count(window.valid_count)
    , invalid_count(window.invalid_count)
    , presets(window.presets)
    , interpreter(window.presets.interpreter)
    , preset_store(window.presets.list_store)
    , hosts(window.presets.hosts)
    , messages(window.presets.messages)
    , tray_tooltip(window.tray_tooltip)
    , status_icon(window.status_icon)
    , list_store(window.list_store)
    , selection(window.selection)
    , skip_search(window.skip_search)
    , world(window.world)
    , catalogue_cached(window.catalogue_cached)
    , fav_changed(window.fav_changed)
    , fav_file(window.fav_file)
    , bl_changed(window.bl_changed)
    , bl_file(window.bl_file)
    , options(window.options)
  {
  }

  LV2PluginList::PlugInfo& columns;
  std::vector<Glib::ustring>& class_labels;
  std::vector<Glib::ustring>& favorites;
  std::vector<Glib::ustring>& blacklist;
  Gtk::ComboBoxText& host_combo;
  Gtk::Button& quit_button;
  Gtk::ToggleButton& fav_button;
  Gtk::ToggleButton& bl_button;
  Gtk::Button& refresh_button;
  Gtk::ComboBoxText& search_combo;
  Gtk::TreeView& tree_view;
  Gtk::Menu& tray_menu;
  Gtk::MenuItem& quit_item;
  int& window_x;
  int& window_y;
  int& valid_count;
  int& invalid_count;
  PresetList& presets;
  Glib::ustring& interpreter;
  Glib::RefPtr<Gtk::ListStore>& preset_store;
  launch::HostRunner& hosts;
  MessageWindows& messages;
  Glib::ustring& tray_tooltip;
  Glib::RefPtr<Gtk::StatusIcon>& status_icon;
  Glib::RefPtr<Gtk::ListStore>& list_store;
  Glib::RefPtr<Gtk::TreeSelection>& selection;
  bool& skip_search;
  WorldPtr& world;
  bool& catalogue_cached;
  bool& fav_changed;
  Glib::ustring& fav_file;
  bool& bl_changed;
  Glib::ustring& bl_file;
  Options& options;
};

/// The peer of a window: `peer(*window).list_store`.
inline WindowPeer
peer(LV2PluginList& window)
{
  return WindowPeer(window);
}

} // namespace quillon::test
