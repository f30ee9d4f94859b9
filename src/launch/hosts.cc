// Host discovery: the jalv hosts found in PATH fill the host drop-down.

#include "app/plugin_list.h"

namespace quillon {

void
LV2PluginList::on_host_changed()
{
  presets.interpreter = host_combo.get_active_text();
}

} // namespace quillon
