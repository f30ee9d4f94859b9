#pragma once

#include "app/key_actions.h"
#include "app/options.h"
#include "app/window_control.h"
#include "catalogue/detached_model.h"
#include "catalogue/plugin_index.h"
#include "common/lilv_ptr.h"
#include "launch/preset_list.h"
#include "marks/mark_file.h"

#include <cstddef>
#include <gdk/gdk.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/liststore.h>
#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/statusicon.h>
#include <gtkmm/togglebutton.h>
#include <gtkmm/treemodel.h>
#include <gtkmm/treeselection.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>
#include <lilv/lilv.h>
#include <sigc++/connection.h>
#include <unordered_map>
#include <vector>

namespace quillon {

class ControlFifo;
class GlobalHotKey;

namespace test {
class WindowPeer;
}

/// The main window and owner of nearly all state: the widgets, the plugin
/// list, the mark lists, the lilv world, the preset list and the options.
/// Its member functions are defined in the folder of their subsystem. The
/// process-wide objects see it only as a WindowControl.
class LV2PluginList
  : public Gtk::Window
  , public WindowControl
{
public:
  /// The column record of the plugin list.
  class PlugInfo : public Gtk::TreeModelColumnRecord
  {
  public:
    PlugInfo();

    Gtk::TreeModelColumn<Glib::ustring> uri;
    Gtk::TreeModelColumn<Glib::ustring> name;
    Gtk::TreeModelColumn<Glib::ustring> tooltip;
    Gtk::TreeModelColumn<const LilvPlugin*> plugin;
    Gtk::TreeModelColumn<bool> favorite;
    Gtk::TreeModelColumn<bool> blacklisted;
  };

  LV2PluginList();
  ~LV2PluginList() override;

  /// Parses the command line and applies it: start hidden, the window's
  /// height, the version banner.
  void apply_command_line(int& argc, char**& argv);

  // Window visibility and tray.
  void systray_action() override;
  void show_window() override;
  void hide_window() override;
  void close_window() override;
  void unselect_and_focus();
  void systray_menu(guint button, guint32 activate_time);

  // The window's shortcuts, wherever the focus is: they act on the press
  // and see the focused widget's own handling only when they pass a key on.
  bool on_window_key_press(GdkEventKey* event);
  bool on_window_key_release(GdkEventKey* event);
  bool on_window_focus_out(GdkEventFocus* event);

  // Plugin list rows, scan, views and search, class list.
  void scan_plugins();
  void on_refresh();
  void fill_search();
  void fill_class_list();

  // Marks and their files.
  void on_fav_cell_toggled(const Glib::ustring& path);
  void on_bl_cell_toggled(const Glib::ustring& path);
  void load_fav_list();
  void load_bl_list();
  /// Save a mark list; false (with a diagnostic) when it was not saved.
  bool save_fav_list();
  bool save_bl_list();
  /// The files that on_quit would write, favourites first, with their
  /// contents. Reads only the lists, their flags and paths, never a widget:
  /// the display-loss handler calls it from inside Xlib.
  std::vector<marks::MarkWrite> changed_mark_lists() const;

  // Launching.
  void find_hosts();
  void on_button_release(GdkEventButton* event);
  bool on_key_release(GdkEventKey* event);
  void show_launch_menu();
  void copy_uri();

  virtual void on_host_changed();
  virtual void on_search_changed();
  virtual void on_fav_toggled();
  virtual void on_bl_toggled();
  virtual void on_quit();

private:
  friend class test::WindowPeer;

  PlugInfo columns;
  std::vector<Glib::ustring> class_labels;
  std::vector<Glib::ustring> favorites;
  std::vector<Glib::ustring> blacklist;
  Gtk::VBox top_box;
  Gtk::HBox button_box;
  Gtk::ComboBoxText host_combo;
  Gtk::ScrolledWindow scroll_window;
  Gtk::Button quit_button;
  Gtk::ToggleButton fav_button;
  Gtk::ToggleButton bl_button;
  Gtk::Button refresh_button;
  Gtk::ComboBoxText search_combo;
  Gtk::TreeView tree_view;
  Gtk::Menu tray_menu;
  Gtk::MenuItem quit_item;
  int window_x = -1;
  int window_y = -1;
  int valid_count = 0;
  int invalid_count = 0;
  sigc::connection fav_connection;
  sigc::connection bl_connection;
  PresetList presets;
  Glib::ustring tray_tooltip;
  Glib::RefPtr<Gtk::StatusIcon> status_icon;
  Glib::RefPtr<Gtk::ListStore> list_store;
  Glib::RefPtr<Gtk::TreeSelection> selection;
  Glib::ustring search_text;
  bool skip_search = false;
  WorldPtr world;
  const LilvPlugins* plugins = nullptr;
  GlobalHotKey* hot_key = nullptr;
  ControlFifo* control_fifo = nullptr;
  bool fav_changed = false;
  Glib::ustring fav_file;
  Glib::ustring fav_system_file;
  bool bl_changed = false;
  Glib::ustring bl_file;
  Glib::ustring bl_system_file;
  Options options;

  /// What the rows of the current world are made of.
  catalogue::Index catalogue;
  /// The last scan took the rows from the catalogue cache.
  bool catalogue_cached = false;

  /// The check-box handler of one mark column. The toolkit has already
  /// flipped the row's flag, so the row holds the new state.
  void toggle_mark(const Glib::ustring& path,
                   const Gtk::TreeModelColumn<bool>& column,
                   std::vector<Glib::ustring>& marks,
                   bool& changed,
                   const Gtk::ToggleButton& view_button,
                   void (LV2PluginList::*refill_view)());

  /// Which of the two shown names a fill gives its rows.
  enum class RowNames
  {
    scan,
    view
  };

  /// One fill of the plugin list. It takes the model off the view, empties
  /// the store and suspends its sorting; the rows added are inserted in name
  /// order when the fill ends, and then the sorting and the view come back.
  /// The store thus sorts once per fill, not once per row.
  class RowFill
  {
  public:
    RowFill(LV2PluginList& window, RowNames names);
    ~RowFill();
    RowFill(const RowFill&) = delete;
    RowFill& operator=(const RowFill&) = delete;

    void add(const catalogue::PluginEntry& entry,
             bool favorite,
             bool blacklisted);

  private:
    struct Row
    {
      const catalogue::PluginEntry* entry;
      std::size_t rank;
      bool favorite;
      bool blacklisted;
    };

    LV2PluginList& window;
    RowNames names;
    catalogue::DetachedModel detached;
    std::vector<Row> rows;
  };

  /// Moves the shown window to the current desktop when it is on another,
  /// then raises and focuses it.
  void bring_forward();

  /// The action of a key event. A layout that types no Latin letters gets
  /// the letter of the key in the first layout (Control+Q where a Cyrillic
  /// layout gives "й").
  static KeyAction key_event_action(const GdkEventKey& event);
  /// The keys pressed in the window and not yet released.
  HeldKeys held_keys;

  void set_up_columns();
  /// A width for a check-box column that shows its title and its box.
  int check_column_width(const Glib::ustring& title);
  void pack_widgets();
  void connect_signals();
  /// Inserts one row with all its values at once.
  void append_row(const catalogue::PluginEntry& entry,
                  RowNames names,
                  bool favorite,
                  bool blacklisted,
                  std::size_t rank);
  /// Orders rows by their shown name through the ranks of `row_ranks`.
  static int compare_rows(GtkTreeModel* model,
                          GtkTreeIter* a,
                          GtkTreeIter* b,
                          gpointer window);
  /// Fills the list with the named plugins that `passes`.
  template<typename Filter>
  void fill_view(Filter passes);

  /// The name rank of each row in the store, by the row's iterator data.
  std::unordered_map<const void*, std::size_t> row_ranks;
};

} // namespace quillon
