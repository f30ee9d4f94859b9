// Host discovery: the jalv hosts found in PATH fill the host drop-down.

#include "app/plugin_list.h"
#include "common/diagnostics.h"
#include "launch/checked_file.h"
#include "launch/commands.h"
#include "launch/host_search.h"

#include <fcntl.h>
#include <glib/gi18n.h>
#include <string>
#include <unistd.h>

namespace quillon {

namespace {

/// The path the pipeline writes to. The fixed one is a path any local user
/// could have made first: when it is not a file of our own, a private file
/// stands in for it.
launch::StandIn
host_list_file()
{
  const launch::CheckedFile fixed =
    launch::open_private_file(launch::host_list_path, O_RDONLY);
  if (fixed.check != launch::FileCheck::refused)
    return { launch::host_list_path, false };
  diagnostic(_("quillon: not using %s: %s\n"),
             launch::host_list_path,
             fixed.reason.c_str());
  const launch::StandIn stand_in = launch::private_stand_in("jalv.interpreter");
  if (!stand_in.path.empty())
    diagnostic(_("quillon: using %s instead\n"), stand_in.path.c_str());
  return stand_in;
}

std::string
read_host_list()
{
  std::string text;
  const launch::StandIn file = host_list_file();
  const std::string& path = file.path;
  if (path.empty())
    return text;
  // The file is read whatever happened.
  launch::run_in_shell(launch::host_search_command(path));
  launch::CheckedFile list = launch::open_private_file(path, O_RDONLY);
  if (list.check == launch::FileCheck::refused)
    diagnostic(
      _("quillon: not using %s: %s\n"), path.c_str(), list.reason.c_str());
  if (list.check != launch::FileCheck::usable)
    return text;
  if (!read_all(list.fd.get(), text))
    text.clear();
  // A stand-in made for this start only is not left behind in /tmp.
  if (file.temporary)
    unlink(path.c_str());
  return text;
}

} // namespace

void
LV2PluginList::find_hosts()
{
  const launch::HostList hosts = launch::parse_host_list(read_host_list());
  for (const std::string& entry : hosts.entries)
    host_combo.append(entry);
  if (hosts.active >= 0)
    host_combo.set_active(hosts.active);
  presets.set_interpreter(host_combo.get_active_text());
}

void
LV2PluginList::on_host_changed()
{
  presets.set_interpreter(host_combo.get_active_text());
}

} // namespace quillon
