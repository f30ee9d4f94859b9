// Launching with a preset: its state goes to the state file that the host
// loads.

#include "common/diagnostics.h"
#include "common/lilv_ptr.h"
#include "launch/checked_file.h"
#include "launch/commands.h"
#include "launch/preset_list.h"
#include "launch/state_text.h"
#include "launch/urid_table.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <giomm/dataoutputstream.h>
#include <giomm/error.h>
#include <giomm/unixoutputstream.h>
#include <glib/gi18n.h>
#include <string>
#include <unistd.h>

namespace quillon {

void
PresetList::on_preset_activate(Gtk::Menu* menu,
                               Glib::ustring tail,
                               LilvWorld* world,
                               Gtk::TreeIter row)
{
  const Glib::ustring uri = row->get_value(columns.uri);
  const Glib::ustring label = row->get_value(columns.label);
  // Every end of a choice closes the menu, a refused launch included.
  if (!host_chosen() || !write_preset_state(world, uri, label)) {
    close_menu(menu);
    return;
  }
  unselect_plugin();
  const std::string what = Glib::ustring::compose(
    _("%1 with the preset \u201c%2\u201d"), plugin_name, label);
  launch(launch::preset_command(interpreter.raw(), tail.raw(), state_path),
         what);
  close_menu(menu);
}

bool
PresetList::write_preset_state(LilvWorld* world,
                               const Glib::ustring& uri,
                               const Glib::ustring& label)
{
  LV2_URID_Map map{ nullptr, launch::urid_map };
  LV2_URID_Unmap unmap{ nullptr, launch::urid_unmap };
  std::string text;
  {
    const NodePtr node(lilv_new_uri(world, uri.c_str()));
    const StatePtr state(
      node ? lilv_state_new_from_world(world, &map, node.get()) : nullptr);
    if (!state) {
      diagnostic(_("Preset <%s> has no state\n"), uri.c_str());
      return false;
    }
    lilv_state_set_label(state.get(), label.c_str());
    char* serialised = lilv_state_to_string(
      world, &map, &unmap, state.get(), uri.c_str(), nullptr);
    if (!serialised) {
      diagnostic(_("Preset <%s> gave no state text\n"), uri.c_str());
      return false;
    }
    text = serialised;
    lilv_free(serialised);
  }
  return write_state_file(launch::empty_first_iri(text));
}

bool
PresetList::write_state_file(const Glib::ustring& text)
{
  // A fixed path under /tmp: never write through a link, into a FIFO or
  // into another user's file. Truncate only once the file is known ours.
  launch::CheckedFile file =
    launch::open_private_file(state_path, O_WRONLY | O_CREAT);
  if (file.check != launch::FileCheck::usable &&
      state_path == launch::state_file_path) {
    // Another user's state file, say: a private one stands in for it from
    // now on, so that presets still reach the host.
    diagnostic(_("quillon: not using %s: %s\n"),
               state_path.c_str(),
               file.reason.c_str());
    const launch::StandIn stand_in = launch::private_stand_in("state.ttl");
    if (stand_in.path.empty())
      return false;
    // Kept while the program runs: the host reads it after our launch.
    state_path = stand_in.path;
    diagnostic(_("quillon: using %s instead\n"), state_path.c_str());
    file = launch::open_private_file(state_path, O_WRONLY | O_CREAT);
  }
  const char* const path = state_path.c_str();
  if (file.check != launch::FileCheck::usable) {
    diagnostic(_("quillon: not using %s: %s\n"), path, file.reason.c_str());
    return false;
  }
  if (ftruncate(file.fd.get(), 0) != 0) {
    diagnostic(_("quillon: cannot write %s: %s\n"), path, std::strerror(errno));
    return false;
  }
  try {
    const auto stream = Gio::UnixOutputStream::create(file.fd.get(), false);
    const auto data = Gio::DataOutputStream::create(stream);
    data->put_string(launch::state_prefixes + text.raw());
    data->close();
  } catch (const Glib::Error& error) {
    // Raw bytes: the message may hold text the locale cannot convert.
    diagnostic(
      _("quillon: cannot write %s: %s\n"), path, error.what().raw().c_str());
    return false;
  }
  return true;
}

} // namespace quillon
