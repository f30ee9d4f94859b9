// Placeholder definitions until the mark files and check boxes land.

#include "app/plugin_list.h"

namespace quillon {

void
LV2PluginList::on_fav_cell_toggled(const Glib::ustring&)
{
}

void
LV2PluginList::on_bl_cell_toggled(const Glib::ustring&)
{
}

void
LV2PluginList::load_fav_list()
{
}

void
LV2PluginList::load_bl_list()
{
}

} // namespace quillon
