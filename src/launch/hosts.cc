// Host discovery: the jalv hosts found in PATH fill the host drop-down.

#include "app/diagnostics.h"
#include "app/plugin_list.h"
#include "launch/checked_file.h"
#include "launch/host_list.h"

#include <cstdlib>
#include <fcntl.h>
#include <glib/gi18n.h>
#include <string>

namespace quillon {

namespace {

// The host list file is a fixed path any local user could have created
// first: only a file of our own is written by the pipeline or read back.
bool
host_list_refused(const launch::CheckedFile& file)
{
  if (file.check != launch::FileCheck::refused)
    return false;
  diagnostic(_("quillon: not using %s: %s\n"),
             launch::host_list_path,
             file.reason.c_str());
  return true;
}

std::string
read_host_list()
{
  std::string text;
  if (host_list_refused(
        launch::open_private_file(launch::host_list_path, O_RDONLY)))
    return text;
  if (std::system(nullptr) != 0) {
    // The shell reports its own errors; the file is read whatever happened.
    (void)std::system(launch::host_search_command);
  }
  launch::CheckedFile list =
    launch::open_private_file(launch::host_list_path, O_RDONLY);
  if (host_list_refused(list) || list.check != launch::FileCheck::usable)
    return text;
  if (!launch::read_all(list.fd.get(), text))
    text.clear();
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
  presets.interpreter = host_combo.get_active_text();
}

void
LV2PluginList::on_host_changed()
{
  presets.interpreter = host_combo.get_active_text();
}

} // namespace quillon
