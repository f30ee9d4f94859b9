// The catalogue scan and Refresh.

#include "app/plugin_list.h"
#include "catalogue/cached_scan.h"
#include "catalogue/detached_model.h"
#include "catalogue/lv2_path.h"
#include "marks/mark_set.h"

#include <cstdlib>
#include <glibmm/miscutils.h>

namespace quillon {

void
LV2PluginList::scan_plugins()
{
  valid_count = 0;
  invalid_count = 0;
  Glib::ustring invalid_uris;

  world.reset(lilv_world_new());
  const char* lv2_path = std::getenv("LV2_PATH");
  const auto absolute_path =
    catalogue::absolute_lv2_path(lv2_path, Glib::get_current_dir());
  if (absolute_path) {
    const NodePtr path_node(
      lilv_new_string(world.get(), absolute_path->c_str()));
    lilv_world_set_option(world.get(), LILV_OPTION_LV2_PATH, path_node.get());
  }
  // The cache's key is taken before lilv reads a bundle: a change made
  // while it reads then shows at the next start.
  const catalogue::CachedScan cache(absolute_path ? absolute_path->c_str()
                                                  : lv2_path);
  lilv_world_load_all(world.get());
  plugins = lilv_world_get_all_plugins(world.get());
  catalogue_cached = cache.fill(catalogue, world.get(), plugins);

  {
    const marks::MarkSet favorite_set(favorites);
    const marks::MarkSet blacklist_set(blacklist);
    RowFill fill(*this, RowNames::scan);
    for (const auto& entry : catalogue.entries()) {
      const bool blacklisted = blacklist_set.contains_key(entry.uri_key);
      if (entry.named && !blacklisted) {
        fill.add(entry, favorite_set.contains_key(entry.uri_key), false);
        ++valid_count;
      } else if (!blacklisted) {
        // A plugin without a name: counted and reported, never listed, and
        // its class is not offered.
        ++invalid_count;
        invalid_uris += "\n";
        invalid_uris += entry.uri;
        continue;
      }
      class_labels.push_back(entry.class_label);
    }
  }

  tray_tooltip = catalogue::tray_text(valid_count, invalid_count, invalid_uris);
  if (status_icon)
    status_icon->set_tooltip_text(tray_tooltip);
  if (fav_button.get_active())
    on_fav_toggled();
  else if (bl_button.get_active())
    on_bl_toggled();
}

void
LV2PluginList::on_refresh()
{
  // Emptying the entry reports a change only when it held text; the flag
  // makes the search handler ignore exactly that change.
  if (!search_combo.get_entry()->get_text().empty())
    skip_search = true;
  const catalogue::DetachedModel detached(tree_view);
  list_store->clear();
  catalogue.clear();
  world.reset();
  plugins = nullptr;
  search_combo.get_entry()->set_text("");
  skip_search = false;
  scan_plugins();
}

} // namespace quillon
