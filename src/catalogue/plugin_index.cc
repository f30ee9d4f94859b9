#include "catalogue/plugin_index.h"

#include "catalogue/port_summary.h"
#include "common/lilv_ptr.h"

#include <algorithm>
#include <glib/gi18n.h>
#include <glibmm/markup.h>
#include <optional>
#include <utility>

namespace quillon::catalogue {

namespace {

std::optional<Glib::ustring>
author_of(const LilvPlugin* plugin)
{
  NodePtr author(lilv_plugin_get_author_name(plugin));
  if (!author)
    author.reset(lilv_plugin_get_project(plugin));
  if (!author)
    return std::nullopt;
  return valid_text(lilv_node_as_string(author.get()));
}

} // namespace

void
Index::build(LilvWorld* world, const LilvPlugins* plugins)
{
  clear();
  const Glib::ustring by = _(" \nby ");
  const PortClasses port_classes(world);
  // Sized once: growing by doubling would hold up to twice the entries,
  // and both copies while moving, just when lilv's data is all loaded.
  items.reserve(lilv_plugins_size(plugins));
  positions.reserve(lilv_plugins_size(plugins));

  LILV_FOREACH(plugins, i, plugins)
  {
    const LilvPlugin* plugin = lilv_plugins_get(plugins, i);
    PluginEntry entry;
    entry.plugin = plugin;
    entry.uri = valid_text(lilv_node_as_string(lilv_plugin_get_uri(plugin)));
    entry.uri_key = collation_key(entry.uri);
    entry.class_label = valid_text(lilv_node_as_string(
      lilv_plugin_class_get_label(lilv_plugin_get_class(plugin))));

    const NodePtr name_node(lilv_plugin_get_name(plugin));
    entry.named = name_node != nullptr;
    if (entry.named) {
      const Glib::ustring name =
        valid_text(lilv_node_as_string(name_node.get()));
      entry.name = cut_name(name);
      entry.scan_name = scan_name(name);
      entry.match_text = match_text(name, entry.class_label, entry.uri);
      entry.tooltip = Glib::Markup::escape_text(
        tooltip_text(entry.class_label,
                     author_of(plugin),
                     by,
                     port_summary_text(count_ports(plugin, port_classes))));
    }
    positions.emplace(plugin, items.size());
    items.push_back(std::move(entry));
  }
  rank_names();
}

void
Index::rank_names()
{
  // One collation order over both kinds of shown name; every fill uses one
  // kind only, so comparing ranks orders its rows exactly as collating
  // their names would.
  // A scan name equal to the name (the usual case) shares its key and rank.
  std::vector<std::pair<std::string, std::size_t*>> keys;
  keys.reserve(items.size());
  for (auto& entry : items) {
    if (!entry.named)
      continue;
    keys.emplace_back(collation_key(entry.name), &entry.name_rank);
    if (entry.scan_name.raw() != entry.name.raw())
      keys.emplace_back(collation_key(entry.scan_name), &entry.scan_name_rank);
  }
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
    return a.first < b.first;
  });
  for (std::size_t rank = 0; rank < keys.size(); ++rank)
    *keys[rank].second = rank;
  for (auto& entry : items)
    if (entry.named && entry.scan_name.raw() == entry.name.raw())
      entry.scan_name_rank = entry.name_rank;
}

void
Index::clear()
{
  items.clear();
  positions.clear();
}

const PluginEntry*
Index::find(const LilvPlugin* plugin) const
{
  const auto found = positions.find(plugin);
  return found == positions.end() ? nullptr : &items[found->second];
}

} // namespace quillon::catalogue
