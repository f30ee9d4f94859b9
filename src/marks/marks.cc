// The favourite and blacklist marks: the check-box handlers that edit the
// two lists, and the files that keep them across runs.

#include "app/plugin_list.h"
#include "common/diagnostics.h"
#include "marks/mark_file.h"
#include "marks/mark_set.h"

#include <glib/gi18n.h>
#include <gtkmm/main.h>

namespace quillon {

namespace {

/// Reads a mark list: the user's file, or, when it does not exist, the
/// system's. A file that exists but cannot be read counts as missing.
std::vector<Glib::ustring>
load_marks(const Glib::ustring& user_file, const Glib::ustring& system_file)
{
  for (const Glib::ustring& path : { user_file, system_file }) {
    if (!marks::path_exists(path))
      continue;
    std::string error;
    if (const auto bytes = marks::read_file(path, error))
      return marks::parse_marks(*bytes);
    diagnostic(_("quillon: cannot read %s: %s\n"), path.c_str(), error.c_str());
  }
  return {};
}

bool
save_marks(const Glib::ustring& path, const std::vector<Glib::ustring>& marks)
{
  return marks::save_mark_file({ path, marks::format_marks(marks) });
}

} // namespace

void
LV2PluginList::toggle_mark(const Glib::ustring& path,
                           const Gtk::TreeModelColumn<bool>& column,
                           std::vector<Glib::ustring>& marks,
                           bool& changed,
                           const Gtk::ToggleButton& view_button,
                           void (LV2PluginList::*refill_view)())
{
  if (path.empty())
    return;
  const Gtk::TreeModel::iterator row =
    list_store->get_iter(Gtk::TreePath(path));
  if (!row)
    return;
  const bool marked = (*row).get_value(column);
  const Glib::ustring uri = (*row).get_value(columns.uri);
  if (uri.empty())
    return;
  const std::size_t found = marks::find_mark(marks, uri);
  if (marked) {
    if (found != marks.size())
      return;
    marks.push_back(uri);
  } else if (found != marks.size()) {
    marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(found));
  }
  changed = true;
  if (view_button.get_active())
    (this->*refill_view)();
}

void
LV2PluginList::on_fav_cell_toggled(const Glib::ustring& path)
{
  toggle_mark(path,
              columns.favorite,
              favorites,
              fav_changed,
              fav_button,
              &LV2PluginList::on_fav_toggled);
}

void
LV2PluginList::on_bl_cell_toggled(const Glib::ustring& path)
{
  toggle_mark(path,
              columns.blacklisted,
              blacklist,
              bl_changed,
              bl_button,
              &LV2PluginList::on_bl_toggled);
}

void
LV2PluginList::load_fav_list()
{
  const auto loaded = load_marks(fav_file, fav_system_file);
  favorites.insert(favorites.end(), loaded.begin(), loaded.end());
}

void
LV2PluginList::load_bl_list()
{
  const auto loaded = load_marks(bl_file, bl_system_file);
  blacklist.insert(blacklist.end(), loaded.begin(), loaded.end());
}

bool
LV2PluginList::save_fav_list()
{
  return save_marks(fav_file, favorites);
}

bool
LV2PluginList::save_bl_list()
{
  return save_marks(bl_file, blacklist);
}

std::vector<marks::MarkWrite>
LV2PluginList::changed_mark_lists() const
{
  std::vector<marks::MarkWrite> writes;
  if (fav_changed)
    writes.push_back({ fav_file, marks::format_marks(favorites) });
  if (bl_changed)
    writes.push_back({ bl_file, marks::format_marks(blacklist) });
  return writes;
}

void
LV2PluginList::on_quit()
{
  // A list that cannot be saved keeps the program running with its marks,
  // so that nothing is lost and a later quit can try again.
  if (fav_changed && !save_fav_list())
    return;
  if (bl_changed && !save_bl_list())
    return;
  Gtk::Main::quit();
}

} // namespace quillon
