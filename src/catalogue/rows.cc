// The plugin list's column record, the membership tests and the insertion
// of rows.

#include "app/plugin_list.h"
#include "marks/mark_set.h"

#include <algorithm>
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

LV2PluginList::RowFill::RowFill(LV2PluginList& list_window, RowNames row_names)
  : window(list_window)
  , names(row_names)
  , detached(list_window.tree_view)
{
  window.list_store->clear();
  window.row_ranks.clear();
  gtk_tree_sortable_set_sort_column_id(
    GTK_TREE_SORTABLE(window.list_store->gobj()),
    GTK_TREE_SORTABLE_UNSORTED_SORT_COLUMN_ID,
    GTK_SORT_ASCENDING);
}

void
LV2PluginList::RowFill::add(const catalogue::PluginEntry& entry,
                            bool favorite,
                            bool blacklisted)
{
  const std::size_t rank =
    names == RowNames::scan ? entry.scan_name_rank : entry.name_rank;
  rows.push_back({ &entry, rank, favorite, blacklisted });
}

LV2PluginList::RowFill::~RowFill()
{
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.rank < b.rank;
  });
  for (const Row& row : rows)
    window.append_row(
      *row.entry, names, row.favorite, row.blacklisted, row.rank);
  // The rows stand in name order already; sorting them costs one rank
  // lookup per comparison.
  window.list_store->set_sort_column(window.columns.name, Gtk::SORT_ASCENDING);
}

void
LV2PluginList::append_row(const catalogue::PluginEntry& entry,
                          RowNames names,
                          bool favorite,
                          bool blacklisted,
                          std::size_t rank)
{
  // All six values go in with one insertion: setting them one by one on a
  // sorted store re-sorts the store at every cell.
  Glib::Value<Glib::ustring> uri_value;
  uri_value.init(columns.uri.type());
  uri_value.set(entry.uri);
  Glib::Value<Glib::ustring> name_value;
  name_value.init(columns.name.type());
  const Glib::ustring& shown =
    names == RowNames::scan ? entry.scan_name : entry.name;
  name_value.set(shown);
  // The views always show the cut name; the scan shows the whole name when
  // the cut left nothing, and then the usual tooltip is enough.
  const bool shown_cut =
    !entry.cut_name_tooltip.empty() && shown.raw() == entry.name.raw();
  Glib::Value<Glib::ustring> tooltip_value;
  tooltip_value.init(columns.tooltip.type());
  tooltip_value.set(shown_cut ? entry.cut_name_tooltip : entry.tooltip);
  Glib::Value<const LilvPlugin*> plugin_value;
  plugin_value.init(columns.plugin.type());
  plugin_value.set(entry.plugin);
  Glib::Value<bool> favorite_value;
  favorite_value.init(columns.favorite.type());
  favorite_value.set(favorite);
  Glib::Value<bool> blacklisted_value;
  blacklisted_value.init(columns.blacklisted.type());
  blacklisted_value.set(blacklisted);

  gint column_numbers[] = {
    columns.uri.index(),      columns.name.index(),
    columns.tooltip.index(),  columns.plugin.index(),
    columns.favorite.index(), columns.blacklisted.index()
  };
  GValue values[] = { *uri_value.gobj(),      *name_value.gobj(),
                      *tooltip_value.gobj(),  *plugin_value.gobj(),
                      *favorite_value.gobj(), *blacklisted_value.gobj() };
  GtkTreeIter iter;
  gtk_list_store_insert_with_valuesv(
    list_store->gobj(), &iter, -1, column_numbers, values, 6);
  row_ranks[iter.user_data] = rank;
}

int
LV2PluginList::compare_rows(GtkTreeModel* model,
                            GtkTreeIter* a,
                            GtkTreeIter* b,
                            gpointer window)
{
  // Sorting calls this about n log n times per fill: it compares the ranks
  // recorded when the rows were inserted, never the texts.
  const auto& ranks = static_cast<LV2PluginList*>(window)->row_ranks;
  const auto rank_a = ranks.find(a->user_data);
  const auto rank_b = ranks.find(b->user_data);
  if (rank_a != ranks.end() && rank_b != ranks.end())
    return rank_a->second < rank_b->second
             ? -1
             : (rank_a->second > rank_b->second ? 1 : 0);
  // A row that no fill made: collate the names.
  const auto& name = static_cast<LV2PluginList*>(window)->columns.name;
  const Gtk::TreeModel::iterator row_a(model, a);
  const Gtk::TreeModel::iterator row_b(model, b);
  return (*row_a).get_value(name).compare((*row_b).get_value(name));
}

} // namespace quillon
