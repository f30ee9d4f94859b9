// Placeholder definitions until launching lands: no hosts, no menu.

#include "app/plugin_list.h"

namespace quillon {

void
LV2PluginList::find_hosts()
{
}

void
LV2PluginList::on_button_release(GdkEventButton*)
{
}

bool
LV2PluginList::on_key_release(GdkEventKey*)
{
  return true;
}

} // namespace quillon
