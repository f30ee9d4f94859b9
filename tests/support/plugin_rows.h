#pragma once

// The plugin list of a window read back as the user sees it, and a row
// selected as a click selects it.

#include "app/plugin_list.h"

#include <gtkmm/treemodel.h>
#include <string>
#include <vector>

namespace quillon::test {

/// The shown names, in list order.
std::vector<std::string>
names(LV2PluginList& window);

/// The URIs, in list order.
std::vector<std::string>
uris(LV2PluginList& window);

/// The row of `uri`; a test failure and an empty row when none is listed.
Gtk::TreeModel::Row
row_of(LV2PluginList& window, const std::string& uri);

/// The list path of the row of `uri`, or "" when none is listed.
std::string
path_of(LV2PluginList& window, const std::string& uri);

/// Selects the row of `uri` with the cursor in view column `column` (0 is
/// the name, 1 Favorite, 2 Blacklist); a test failure when it is not listed.
void
select(LV2PluginList& window, const std::string& uri, int column = 0);

} // namespace quillon::test
