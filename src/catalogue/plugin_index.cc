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
Index::build(LilvWorld* world,
             const LilvPlugins* plugins,
             const std::function<void(const PluginRecord&)>& keep)
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
    PluginRecord record;
    record.uri = valid_text(lilv_node_as_string(lilv_plugin_get_uri(plugin)));
    record.class_label = valid_text(lilv_node_as_string(
      lilv_plugin_class_get_label(lilv_plugin_get_class(plugin))));
    const NodePtr name_node(lilv_plugin_get_name(plugin));
    record.named = name_node != nullptr;
    if (record.named) {
      record.name = valid_text(lilv_node_as_string(name_node.get()));
      record.author = author_of(plugin);
      record.ports = count_ports(plugin, port_classes);
    }
    if (keep)
      keep(record);
    add(plugin, std::move(record), by);
  }
  rank_names();
}

bool
Index::restore(const LilvPlugins* plugins, std::vector<PluginRecord>&& records)
{
  clear();
  if (records.size() != lilv_plugins_size(plugins))
    return false;
  std::size_t at = 0;
  LILV_FOREACH(plugins, i, plugins)
  {
    const char* uri =
      lilv_node_as_string(lilv_plugin_get_uri(lilv_plugins_get(plugins, i)));
    if (records[at++].uri.raw() != valid_text(uri).raw())
      return false;
  }
  const Glib::ustring by = _(" \nby ");
  items.reserve(records.size());
  positions.reserve(records.size());
  at = 0;
  LILV_FOREACH(plugins, i, plugins)
  {
    add(lilv_plugins_get(plugins, i), std::move(records[at++]), by);
  }
  rank_names();
  return true;
}

void
Index::add(const LilvPlugin* plugin,
           PluginRecord&& record,
           const Glib::ustring& by)
{
  PluginEntry entry;
  entry.plugin = plugin;
  entry.uri = std::move(record.uri);
  entry.uri_key = collation_key(entry.uri);
  entry.class_label = std::move(record.class_label);
  entry.named = record.named;
  if (entry.named) {
    entry.name = cut_name(record.name);
    entry.scan_name = scan_name(record.name);
    entry.match_text = match_text(record.name, entry.class_label, entry.uri);
    const Glib::ustring tooltip = tooltip_text(
      entry.class_label, record.author, by, port_summary_text(record.ports));
    entry.tooltip = Glib::Markup::escape_text(tooltip);
    if (entry.name.raw() != record.name.raw())
      entry.cut_name_tooltip =
        Glib::Markup::escape_text(cut_name_tooltip_text(record.name, tooltip));
  }
  positions.emplace(plugin, items.size());
  items.push_back(std::move(entry));
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
