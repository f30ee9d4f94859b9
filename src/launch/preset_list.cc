#include "launch/preset_list.h"

namespace quillon {

PresetList::Presets::Presets()
{
  add(label);
  add(uri);
  add(plugin);
}

PresetList::PresetList()
  : list_store(Gtk::ListStore::create(columns))
{
  list_store->set_sort_column(columns.label, Gtk::SORT_ASCENDING);
}

PresetList::~PresetList() = default;

} // namespace quillon
