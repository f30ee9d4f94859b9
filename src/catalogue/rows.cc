// The plugin list's column record, the membership tests and the insertion
// of rows.

#include "app/plugin_list.h"
#include "marks/mark_set.h"

#include <gtk/gtk.h>

namespace quillon {

LV2PluginList::PlugInfo::PlugInfo()
{
  add(uri);
  add(name);
  add(tooltip);
  add(plugin);
  add(favorite);
  add(blacklisted);
}

bool
LV2PluginList::is_favorite(const Glib::ustring& uri) const
{
  return marks::contains(favorites, uri);
}

bool
LV2PluginList::is_blacklisted(const Glib::ustring& uri) const
{
  return marks::contains(blacklist, uri);
}

void
LV2PluginList::append_row(const catalogue::PluginEntry& entry, RowNames names,
                          bool favorite, bool blacklisted)
{
  // All six values go in with one insertion: setting them one by one on a
  // sorted store re-sorts the store at every cell.
  row_names = names;
  Glib::Value<Glib::ustring> uri_value;
  uri_value.init(columns.uri.type());
  uri_value.set(entry.uri);
  Glib::Value<Glib::ustring> name_value;
  name_value.init(columns.name.type());
  name_value.set(names == RowNames::scan ? entry.scan_name : entry.name);
  Glib::Value<Glib::ustring> tooltip_value;
  tooltip_value.init(columns.tooltip.type());
  tooltip_value.set(entry.tooltip);
  Glib::Value<const LilvPlugin*> plugin_value;
  plugin_value.init(columns.plugin.type());
  plugin_value.set(entry.plugin);
  Glib::Value<bool> favorite_value;
  favorite_value.init(columns.favorite.type());
  favorite_value.set(favorite);
  Glib::Value<bool> blacklisted_value;
  blacklisted_value.init(columns.blacklisted.type());
  blacklisted_value.set(blacklisted);

  gint column_numbers[] = { columns.uri.index(),     columns.name.index(),
                            columns.tooltip.index(), columns.plugin.index(),
                            columns.favorite.index(),
                            columns.blacklisted.index() };
  GValue values[] = { *uri_value.gobj(),     *name_value.gobj(),
                      *tooltip_value.gobj(), *plugin_value.gobj(),
                      *favorite_value.gobj(), *blacklisted_value.gobj() };
  GtkTreeIter iter;
  gtk_list_store_insert_with_valuesv(list_store->gobj(), &iter, -1,
                                     column_numbers, values, 6);
  current_row =
    *Gtk::TreeModel::iterator(GTK_TREE_MODEL(list_store->gobj()), &iter);
}

int
LV2PluginList::compare_rows(const Gtk::TreeModel::iterator& a,
                            const Gtk::TreeModel::iterator& b)
{
  const catalogue::PluginEntry* entry_a =
    catalogue.find((*a).get_value(columns.plugin));
  const catalogue::PluginEntry* entry_b =
    catalogue.find((*b).get_value(columns.plugin));
  if (!entry_a || !entry_b) {
    // A row that does not come from the current world: collate its name.
    return (*a).get_value(columns.name).compare((*b).get_value(columns.name));
  }
  const auto rank = [this](const catalogue::PluginEntry* entry) {
    return row_names == RowNames::scan ? entry->scan_name_rank
                                       : entry->name_rank;
  };
  const std::size_t rank_a = rank(entry_a);
  const std::size_t rank_b = rank(entry_b);
  return rank_a < rank_b ? -1 : (rank_a > rank_b ? 1 : 0);
}

} // namespace quillon
