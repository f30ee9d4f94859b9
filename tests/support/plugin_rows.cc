#include "support/plugin_rows.h"

#include "support/window_peer.h"

#include <gtest/gtest.h>

namespace quillon::test {

namespace {

/// The row of `uri`, or an empty row.
Gtk::TreeModel::Row
find_row(LV2PluginList& window, const std::string& uri)
{
  const WindowPeer list = peer(window);
  for (const auto& row : list.list_store->children())
    if (row.get_value(list.columns.uri) == uri)
      return row;
  return {};
}

} // namespace

std::vector<std::string>
names(LV2PluginList& window)
{
  const WindowPeer list = peer(window);
  std::vector<std::string> result;
  for (const auto& row : list.list_store->children())
    result.push_back(row.get_value(list.columns.name));
  return result;
}

std::vector<std::string>
uris(LV2PluginList& window)
{
  const WindowPeer list = peer(window);
  std::vector<std::string> result;
  for (const auto& row : list.list_store->children())
    result.push_back(row.get_value(list.columns.uri));
  return result;
}

Gtk::TreeModel::Row
row_of(LV2PluginList& window, const std::string& uri)
{
  const Gtk::TreeModel::Row row = find_row(window, uri);
  if (!row)
    ADD_FAILURE() << uri << " is not listed";
  return row;
}

std::string
path_of(LV2PluginList& window, const std::string& uri)
{
  const Gtk::TreeModel::Row row = find_row(window, uri);
  if (!row)
    return "";
  return peer(window).list_store->get_path(row).to_string();
}

void
select(LV2PluginList& window, const std::string& uri, int column)
{
  const Gtk::TreeModel::Row row = row_of(window, uri);
  if (!row)
    return;
  const WindowPeer list = peer(window);
  list.tree_view.set_cursor(
    list.list_store->get_path(row), *list.tree_view.get_column(column), false);
  list.selection->select(row);
}

} // namespace quillon::test
