#pragma once

// What every row of the plugin list is made of, read from lilv once per
// world: the fills then only filter and insert.

#include "catalogue/row_cache.h"
#include "catalogue/text_rules.h"

#include <cstddef>
#include <functional>
#include <glibmm/ustring.h>
#include <lilv/lilv.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillon::catalogue {

struct PluginEntry
{
  const LilvPlugin* plugin = nullptr;
  Glib::ustring uri;
  /// False for a plugin without a name: it never gets a row.
  bool named = false;
  /// The cut name, shown by the views and the search (may be empty).
  Glib::ustring name;
  /// The name shown by the scan: cut, or uncut when the cut left nothing.
  Glib::ustring scan_name;
  Glib::ustring class_label;
  /// The tooltip as Pango markup, which is how the view reads its tooltip
  /// column: the text is escaped, so "<" and "&" show as written.
  Glib::ustring tooltip;
  /// The tooltip of a row that shows the cut name: the whole name above
  /// `tooltip`, escaped alike. Empty when the name was not cut.
  Glib::ustring cut_name_tooltip;
  /// Lower-cased uncut name, class label and URI, for the search.
  std::string match_text;
  /// Collation key of the URI, for the membership tests.
  std::string uri_key;
  /// Positions of `name` and `scan_name` in the collation order of all
  /// shown names, for sorting rows without collating again.
  std::size_t name_rank = 0;
  std::size_t scan_name_rank = 0;
};

/// The entries of one world, in lilv's iteration order.
class Index
{
public:
  /// Reads every plugin of `plugins`; `world` makes the port class nodes.
  /// `keep`, when given, receives what each entry was made of, in order.
  void build(LilvWorld* world,
             const LilvPlugins* plugins,
             const std::function<void(const PluginRecord&)>& keep = {});
  /// Makes the entries of `plugins` from records kept by an earlier build,
  /// asking lilv for no plugin data. False, with nothing built, when the
  /// records describe other plugins: another count, or another URI at some
  /// position of lilv's order.
  bool restore(const LilvPlugins* plugins, std::vector<PluginRecord>&& records);
  void clear();

  const std::vector<PluginEntry>& entries() const { return items; }
  /// The entry of a plugin of this world, or null.
  const PluginEntry* find(const LilvPlugin* plugin) const;

private:
  /// Appends the entry of `plugin` made of `record`; `by` is the
  /// translated " \nby ".
  void add(const LilvPlugin* plugin,
           PluginRecord&& record,
           const Glib::ustring& by);
  void rank_names();

  std::vector<PluginEntry> items;
  std::unordered_map<const LilvPlugin*, std::size_t> positions;
};

} // namespace quillon::catalogue
