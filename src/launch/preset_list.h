#pragma once

#include "launch/host_runner.h"
#include "launch/message_windows.h"

#include <gdk/gdk.h>
#include <glibmm/ustring.h>
#include <gtkmm/liststore.h>
#include <gtkmm/menu.h>
#include <gtkmm/treemodel.h>
#include <gtkmm/treeselection.h>
#include <lilv/lilv.h>
#include <sigc++/connection.h>
#include <string>

namespace quillon {

namespace test {
class WindowPeer;
}

/// The presets of the plugin whose launch menu is open, the chosen host
/// command, and the launch menu's handlers.
class PresetList
{
public:
  class Presets : public Gtk::TreeModelColumnRecord
  {
  public:
    Presets();

    Gtk::TreeModelColumn<Glib::ustring> label;
    Gtk::TreeModelColumn<Glib::ustring> uri;
    Gtk::TreeModelColumn<const LilvPlugin*> plugin;
  };

  PresetList();
  ~PresetList();
  PresetList(const PresetList&) = delete;
  PresetList& operator=(const PresetList&) = delete;

  /// Fills the store with the labelled presets of `plugin` and pops up the
  /// launch menu.
  void show_presets(const Glib::ustring& tail,
                    const LilvPlugin* plugin,
                    LilvWorld* world);
  /// Builds the launch menu ("Default", then the presets) and pops it up.
  void popup_preset_menu(const Glib::ustring& tail, LilvWorld* world);

  void on_default_activate(Gtk::Menu* menu, Glib::ustring tail);
  void on_menu_key_release(GdkEventKey* event, Gtk::Menu* menu);
  void on_preset_activate(Gtk::Menu* menu,
                          Glib::ustring tail,
                          LilvWorld* world,
                          Gtk::TreeIter row);
  /// Writes the state file from `text`; false when it could not be written.
  /// The fixed path is used while it is a file of our own; once it is
  /// refused, a private stand-in is used for the rest of the run.
  bool write_state_file(const Glib::ustring& text);
  /// The path handed to the host with "-l".
  const std::string& state_file() const { return state_path; }

  /// The host command that starts the plugins: the host drop-down's text.
  void set_interpreter(const Glib::ustring& host) { interpreter = host; }
  /// The plugin list's selection, which every launch clears.
  void set_selection(const Glib::RefPtr<Gtk::TreeSelection>& plugins)
  {
    selection = plugins;
  }

private:
  friend class test::WindowPeer;

  Presets columns;
  Glib::RefPtr<Gtk::ListStore> list_store;
  Glib::ustring interpreter;
  Glib::RefPtr<Gtk::TreeSelection> selection;

  /// The started hosts that are watched, and the windows of failed ones.
  launch::HostRunner hosts;
  MessageWindows messages;

  /// Starts `command` in the chosen host, watched; `what` names the plugin
  /// (and preset) for the user. With no host chosen nothing is run and the
  /// user is told.
  void launch(const std::string& command, const std::string& what);

  /// Has lilv build the preset's state and writes it to the state file.
  bool write_preset_state(LilvWorld* world,
                          const Glib::ustring& uri,
                          const Glib::ustring& label);
  /// True when a host is chosen; otherwise says there is none.
  bool host_chosen();
  void report_failure(const launch::HostFailure& failure);

  void unselect_plugin();
  /// Empties the store and releases the menu: every end of a launch menu.
  void close_menu(Gtk::Menu* menu);
  /// The toolkit popped the menu down: release it once the item that may
  /// have been chosen has run.
  void on_menu_deactivate(Gtk::Menu* menu);

  /// The launch menu that is up or about to be released; owned here.
  Gtk::Menu* open_menu = nullptr;
  sigc::connection pending_release;
  /// The name of the plugin whose menu is open, for the messages.
  std::string plugin_name;
  /// Where the state file is written: the fixed path, or its stand-in.
  std::string state_path;
};

} // namespace quillon
