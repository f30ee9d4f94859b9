// The plugin classes offered by the search drop-down.

#include "app/plugin_list.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

namespace quillon {

void
LV2PluginList::fill_class_list()
{
  if (class_labels.empty())
    return;
  // Sort by collation keys made once per distinct label (a few dozen among
  // thousands of plugins): the same order as Glib::ustring's less-than,
  // without collating at every comparison.
  std::unordered_set<std::string> seen;
  std::vector<std::pair<std::string, Glib::ustring>> keyed;
  for (auto& label : class_labels)
    if (seen.insert(label.raw()).second)
      keyed.emplace_back(catalogue::collation_key(label), std::move(label));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first < b.first;
  });
  class_labels.clear();
  const std::string* previous_key = nullptr;
  for (auto& [key, label] : keyed) {
    if (previous_key && *previous_key == key)
      continue;
    previous_key = &key;
    class_labels.push_back(std::move(label));
  }
  for (const auto& label : class_labels)
    search_combo.append(label);
}

} // namespace quillon
