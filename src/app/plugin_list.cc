// Construction, wiring and destruction of the main window.

#include "app/plugin_list.h"

#include "control/control_fifo.h"
#include "control/global_hot_key.h"

#include <algorithm>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib/gi18n.h>
#include <glibmm/miscutils.h>
#include <gtk/gtk.h>
#include <gtkmm/cellrenderertext.h>
#include <gtkmm/cellrenderertoggle.h>
#include <gtkmm/rc.h>
#include <gtkmm/scrollbar.h>

namespace quillon {

namespace {

const char* const tree_style =
  "style 'treestyle'{ \n GtkTreeView::odd-row-color = @base_color \n "
  "GtkTreeView::even-row-color = shade (0.90, @base_color) \n "
  "GtkTreeView::allow-rules = 1 \n } \n widget '*lv2_treeview*' style "
  "'treestyle' \n";

/// The style text shades rows from the theme's symbolic colour
/// "base_color". A theme that does not define it (GTK's built-in default,
/// for one) would make the text fail to parse: define it then from the
/// default style's base colour.
void
ensure_base_color(Gtk::Widget& widget)
{
  GtkStyle* style = gtk_widget_get_style(widget.gobj());
  GdkColor color;
  if (!style || gtk_style_lookup_color(style, "base_color", &color))
    return;
  color = style->base[GTK_STATE_NORMAL];
  gchar* scheme = g_strdup_printf(
    "base_color:#%04x%04x%04x", color.red, color.green, color.blue);
  g_object_set(gtk_widget_get_settings(widget.gobj()),
               "gtk-color-scheme",
               scheme,
               nullptr);
  g_free(scheme);
}

Glib::RefPtr<Gdk::Pixbuf>
resource_image(const char* path)
{
  GdkPixbuf* image = gdk_pixbuf_new_from_resource(path, nullptr);
  return Glib::wrap(image);
}

} // namespace

LV2PluginList::LV2PluginList()
  : top_box(false, 0)
  , button_box(false, 0)
  , host_combo(false)
  , quit_button(_("_Quit"), true)
  , fav_button(_("_Fav."), true)
  , bl_button(_("_BL."), true)
  , refresh_button(_("_Refresh"), true)
  , search_combo(true)
  , tray_tooltip(" ")
  , fav_file(Glib::build_filename(Glib::get_user_config_dir(), "quillon.conf"))
  , fav_system_file(Glib::build_filename("/etc/xdg/quillon", "quillon.conf"))
  , bl_file(Glib::build_filename(Glib::get_user_config_dir(), "quillon.back"))
  , bl_system_file(Glib::build_filename("/etc/xdg/quillon", "quillon.back"))
{
  set_title(_("LV2 plugs"));
  set_default_size(350, 200);

  find_hosts();
  control_fifo = ControlFifo::get_instance();
  control_fifo->window = this;
  hot_key = GlobalHotKey::get_instance();
  hot_key->window = this;

  list_store = Gtk::ListStore::create(columns);
  tree_view.set_model(list_store);
  set_up_columns();
  gtk_tree_sortable_set_sort_func(GTK_TREE_SORTABLE(list_store->gobj()),
                                  columns.name.index(),
                                  &compare_rows,
                                  this,
                                  nullptr);
  list_store->set_sort_column(columns.name, Gtk::SORT_ASCENDING);

  load_fav_list();
  load_bl_list();
  scan_plugins();
  fill_class_list();

  ensure_base_color(tree_view);
  Gtk::RC::parse_string(tree_style);
  pack_widgets();
  set_icon(resource_image("/quillon/lv2_16.png"));

  quit_item.set_label(_("Quit"));
  tray_menu.append(quit_item);
  status_icon = Gtk::StatusIcon::create(resource_image("/quillon/lv2.png"));
  status_icon->set_tooltip_text(tray_tooltip);

  selection = tree_view.get_selection();
  presets.set_selection(selection);

  connect_signals();
  show_all();
  unselect_and_focus();
}

LV2PluginList::~LV2PluginList()
{
  // The two process-wide objects outlive the window: from now on they must
  // not reach it.
  if (control_fifo && control_fifo->window == this)
    control_fifo->window = nullptr;
  if (hot_key) {
    WindowControl* expected = this;
    hot_key->window.compare_exchange_strong(expected, nullptr);
  }
  // The rows and the catalogue borrow from the world: drop them with it,
  // before anything else goes.
  catalogue.clear();
  world.reset();
  plugins = nullptr;
}

void
LV2PluginList::set_up_columns()
{
  tree_view.append_column(_("Name"), columns.name);
  tree_view.append_column_editable(_("Favorite"), columns.favorite);
  tree_view.append_column_editable(_("Blacklist"), columns.blacklisted);

  // Every column has a fixed width, so the view can run in fixed-height
  // mode: it then never measures the rows' texts, which for thousands of
  // rows would cost more than filling the list.
  Gtk::TreeViewColumn* name_column = tree_view.get_column(0);
  name_column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
  name_column->set_min_width(300);
  name_column->set_fixed_width(300);
  name_column->set_expand(true);
  static_cast<Gtk::CellRendererText*>(tree_view.get_column_cell_renderer(0))
    ->property_ellipsize() = Pango::ELLIPSIZE_END;
  for (int index : { 1, 2 }) {
    Gtk::TreeViewColumn* column = tree_view.get_column(index);
    column->set_max_width(80);
    column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    column->set_fixed_width(check_column_width(column->get_title()));
  }
  tree_view.set_fixed_height_mode(true);

  tree_view.set_tooltip_column(columns.tooltip.index());
  tree_view.set_rules_hint(true);
  tree_view.set_name("lv2_treeview");
}

int
LV2PluginList::check_column_width(const Glib::ustring& title)
{
  // The header's text plus the padding of its button, within the column's
  // maximum of 80 pixels.
  constexpr int header_padding = 12;
  constexpr int check_box = 24;
  int width = 0;
  int height = 0;
  tree_view.create_pango_layout(title)->get_pixel_size(width, height);
  return std::clamp(width + header_padding, check_box, 80);
}

void
LV2PluginList::pack_widgets()
{
  scroll_window.add(tree_view);
  scroll_window.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scroll_window.get_vscrollbar()->set_can_focus(true);
  top_box.pack_start(scroll_window, Gtk::PACK_EXPAND_WIDGET, 0);
  top_box.pack_end(button_box, Gtk::PACK_SHRINK, 0);

  button_box.pack_start(host_combo, Gtk::PACK_SHRINK, 0);
  button_box.pack_start(search_combo, Gtk::PACK_EXPAND_WIDGET, 0);
  button_box.pack_start(refresh_button, Gtk::PACK_SHRINK, 0);
  fav_button.set_tooltip_text(_("Favorite plugins"));
  button_box.pack_start(fav_button, Gtk::PACK_SHRINK, 0);
  bl_button.set_tooltip_text(_("Blacklist plugins"));
  button_box.pack_start(bl_button, Gtk::PACK_SHRINK, 0);
  button_box.pack_start(quit_button, Gtk::PACK_SHRINK, 0);
  add(top_box);
}

void
LV2PluginList::connect_signals()
{
  auto* favorite_cell = static_cast<Gtk::CellRendererToggle*>(
    tree_view.get_column_cell_renderer(1));
  auto* blacklist_cell = static_cast<Gtk::CellRendererToggle*>(
    tree_view.get_column_cell_renderer(2));
  favorite_cell->signal_toggled().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_fav_cell_toggled));
  blacklist_cell->signal_toggled().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_bl_cell_toggled));
  // A notification: the release still reaches the view's own handling.
  tree_view.signal_button_release_event().connect_notify(
    sigc::mem_fun(*this, &LV2PluginList::on_button_release));
  tree_view.signal_key_release_event().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_key_release));
  // Before the window's own handling, which passes keys to the focused
  // widget: the shortcuts come first, wherever the focus is.
  signal_key_press_event().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_window_key_press), false);
  signal_key_release_event().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_window_key_release), false);
  signal_focus_out_event().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_window_focus_out), false);
  signal_unmap().connect([this] { held_keys.clear(); });
  quit_button.signal_clicked().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_quit));
  fav_connection = fav_button.signal_toggled().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_fav_toggled));
  bl_connection = bl_button.signal_toggled().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_bl_toggled));
  refresh_button.signal_clicked().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_refresh));
  host_combo.signal_changed().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_host_changed));
  search_combo.signal_changed().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_search_changed));
  status_icon->signal_activate().connect(
    sigc::mem_fun(*this, &LV2PluginList::systray_action));
  status_icon->signal_popup_menu().connect(
    sigc::mem_fun(*this, &LV2PluginList::systray_menu));
  quit_item.signal_activate().connect(
    sigc::mem_fun(*this, &LV2PluginList::on_quit));
}

} // namespace quillon
