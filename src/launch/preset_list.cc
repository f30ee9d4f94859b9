// The preset store and the launch menu built from it.

#include "launch/preset_list.h"

#include "catalogue/text_rules.h"
#include "common/diagnostics.h"
#include "common/lilv_ptr.h"
#include "launch/commands.h"
#include "launch/preset_lookup.h"
#include "launch/urid_table.h"

#include <gdk/gdkkeysyms.h>
#include <glib/gi18n.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/separatormenuitem.h>

namespace quillon {

PresetList::Presets::Presets()
{
  add(label);
  add(uri);
  add(plugin);
}

PresetList::PresetList()
  : list_store(Gtk::ListStore::create(columns))
  , hosts(
      [this](const launch::HostFailure& failure) { report_failure(failure); })
  , state_path(launch::state_file_path)
{
  list_store->set_sort_column(columns.label, Gtk::SORT_ASCENDING);
}

PresetList::~PresetList()
{
  pending_release.disconnect();
  delete open_menu;
  launch::urid_table().clear();
}

void
PresetList::show_presets(const Glib::ustring& tail,
                         const LilvPlugin* plugin,
                         LilvWorld* world)
{
  const std::vector<launch::PresetEntry> found =
    launch::find_presets(world, plugin);
  plugin_name.clear();
  if (plugin) {
    const NodePtr name(lilv_plugin_get_name(plugin));
    plugin_name =
      catalogue::valid_text(name ? lilv_node_as_string(name.get()) : "").raw();
  }
  list_store->clear();
  for (const launch::PresetEntry& preset : found) {
    Gtk::TreeModel::Row row = *list_store->append();
    row.set_value(columns.label, Glib::ustring(preset.label));
    row.set_value(columns.uri, Glib::ustring(preset.uri));
    row.set_value(columns.plugin, plugin);
  }
  popup_preset_menu(tail, world);
}

void
PresetList::popup_preset_menu(const Glib::ustring& tail, LilvWorld* world)
{
  // A menu still waiting for its release is replaced: its rows are gone.
  if (open_menu) {
    pending_release.disconnect();
    delete open_menu;
    open_menu = nullptr;
  }

  auto* menu = Gtk::manage(new Gtk::Menu());
  open_menu = menu;
  menu->signal_key_release_event().connect_notify(
    sigc::bind(sigc::mem_fun(*this, &PresetList::on_menu_key_release), menu),
    false);
  menu->signal_deactivate().connect(
    sigc::bind(sigc::mem_fun(*this, &PresetList::on_menu_deactivate), menu));

  auto* default_item = Gtk::manage(new Gtk::MenuItem(_("Default"), true));
  default_item->signal_activate().connect(
    sigc::bind(
      sigc::mem_fun(*this, &PresetList::on_default_activate), menu, tail),
    false);
  menu->append(*default_item);

  if (!list_store->children().empty()) {
    menu->append(*Gtk::manage(new Gtk::SeparatorMenuItem()));
    for (const Gtk::TreeIter& row : list_store->children()) {
      // Labels are shown as they are: an underscore is no access key.
      auto* item =
        Gtk::manage(new Gtk::MenuItem(row->get_value(columns.label), false));
      item->signal_activate().connect(
        sigc::bind(sigc::mem_fun(*this, &PresetList::on_preset_activate),
                   menu,
                   tail,
                   world,
                   row));
      menu->append(*item);
    }
  }

  menu->show_all();
  menu->popup(0, gtk_get_current_event_time());
}

void
PresetList::on_default_activate(Gtk::Menu* menu, Glib::ustring tail)
{
  unselect_plugin();
  launch(launch::launch_command(interpreter.raw(), tail.raw()), plugin_name);
  close_menu(menu);
}

bool
PresetList::host_chosen()
{
  if (!interpreter.empty())
    return true;
  diagnostic(_("quillon: no LV2 host of the jalv family was found in PATH; "
               "Debian's package jalv provides one\n"));
  messages.show(_("No LV2 host found"),
                _("No LV2 host of the jalv family (jalv, jalv.gtk3, "
                  "jalv.qt5, ...) was found in PATH, so the plugin cannot "
                  "be started.\n\nOn Debian, the package \u201cjalv\u201d "
                  "provides one: sudo apt install jalv"));
  return false;
}

void
PresetList::launch(const std::string& command, const std::string& what)
{
  if (!host_chosen())
    return;
  if (!launch::shell_available())
    return;
  // The job runs in the background, watched, so that a host that fails at
  // once does not look like a launch that worked.
  hosts.start(launch::foreground_command(command), interpreter.raw(), what);
}

void
PresetList::report_failure(const launch::HostFailure& failure)
{
  const std::string status = launch::status_text(failure.wait_status);
  diagnostic(_("quillon: the host \"%s\" failed to start %s: %s\n"),
             failure.host.c_str(),
             failure.plugin.c_str(),
             status.c_str());
  const Glib::ustring primary =
    Glib::ustring::compose(_("The host \u201c%1\u201d could not start %2"),
                           catalogue::valid_text(failure.host.c_str()),
                           catalogue::valid_text(failure.plugin.c_str()));
  const Glib::ustring output = catalogue::valid_text(failure.output.c_str());
  Glib::ustring secondary = Glib::ustring::compose(
    _("It ended soon after its start: %1."), Glib::ustring(status));
  if (output.empty())
    secondary += "\n\n" + Glib::ustring(_("It printed nothing."));
  else
    secondary += "\n\n" + Glib::ustring(_("Its last words:")) + "\n" + output;
  messages.show(primary, secondary);
}

void
PresetList::on_menu_key_release(GdkEventKey* event, Gtk::Menu* menu)
{
  if (event->keyval == GDK_KEY_Escape)
    close_menu(menu);
}

void
PresetList::on_menu_deactivate(Gtk::Menu* menu)
{
  // GTK pops the menu down before it activates the chosen item, so the
  // release waits for the main loop to be idle again.
  if (menu != open_menu || pending_release.connected())
    return;
  pending_release = Glib::signal_idle().connect([this, menu]() {
    pending_release = sigc::connection();
    close_menu(menu);
    return false;
  });
}

void
PresetList::unselect_plugin()
{
  if (!selection)
    return;
  if (const Gtk::TreeModel::iterator selected = selection->get_selected())
    selection->unselect(selected);
}

void
PresetList::close_menu(Gtk::Menu* menu)
{
  list_store->clear();
  if (!menu || menu != open_menu)
    return;
  pending_release.disconnect();
  open_menu = nullptr;
  delete menu;
}

} // namespace quillon
