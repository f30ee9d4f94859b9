// The all/favourites/blacklist views and the search.

#include "app/plugin_list.h"
#include "marks/mark_set.h"

#include <glib/gi18n.h>

namespace quillon {

template<typename Filter>
void
LV2PluginList::fill_view(Filter passes)
{
  RowFill fill(*this, RowNames::view);
  const marks::MarkSet favorite_set(favorites);
  const marks::MarkSet blacklist_set(blacklist);
  for (const auto& entry : catalogue.entries()) {
    if (!entry.named)
      continue;
    const bool favorite = favorite_set.contains_key(entry.uri_key);
    const bool blacklisted = blacklist_set.contains_key(entry.uri_key);
    if (passes(entry, favorite, blacklisted))
      fill.add(entry, favorite, blacklisted);
  }
}

void
LV2PluginList::on_fav_toggled()
{
  const bool favorites_only = fav_button.get_active();
  fill_view([favorites_only](
              const catalogue::PluginEntry&, bool favorite, bool blacklisted) {
    return !blacklisted && (favorite || !favorites_only);
  });
  if (favorites_only) {
    fav_button.set_label(_(" _All "));
    if (bl_button.get_active()) {
      bl_connection.block();
      bl_button.set_active(false);
      bl_button.set_label(_("_BL."));
      bl_connection.unblock();
    }
  } else {
    fav_button.set_label(_("_Fav."));
  }
}

void
LV2PluginList::on_bl_toggled()
{
  const bool blacklisted_only = bl_button.get_active();
  fill_view(
    [blacklisted_only](const catalogue::PluginEntry&, bool, bool blacklisted) {
      return blacklisted == blacklisted_only;
    });
  if (blacklisted_only) {
    bl_button.set_label(_(" _All "));
    if (fav_button.get_active()) {
      fav_connection.block();
      fav_button.set_active(false);
      fav_button.set_label(_("_Fav."));
      fav_connection.unblock();
    }
  } else {
    bl_button.set_label(_("_BL."));
  }
}

void
LV2PluginList::on_search_changed()
{
  if (skip_search) {
    skip_search = false;
    return;
  }
  search_text = search_combo.get_entry()->get_text();
  // The fill empties the list first.
  fill_search();
  if (fav_button.get_active())
    on_fav_toggled();
}

void
LV2PluginList::fill_search()
{
  const std::string wanted = catalogue::lowered(search_text);
  fill_view([&wanted](
              const catalogue::PluginEntry& entry, bool, bool blacklisted) {
    return !blacklisted && catalogue::search_matches(entry.match_text, wanted);
  });
}

} // namespace quillon
