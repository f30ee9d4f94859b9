#include "support/window_fixture.h"

#include "support/deadline.h"
#include "support/files.h"
#include "support/window_peer.h"

#include <filesystem>
#include <gtk/gtk.h>
#include <set>
#include <sstream>

namespace quillon::test {

namespace {

void
write_marks(const std::string& path, const std::vector<std::string>& marks)
{
  std::filesystem::create_directories(
    std::filesystem::path(path).parent_path());
  std::string text;
  for (const auto& mark : marks)
    text += mark + "\n";
  write_file(path, text);
}

} // namespace

void
WindowFixture::open(const std::vector<std::string>& favorites,
                    const std::vector<std::string>& blacklist)
{
  const std::string config = Glib::get_user_config_dir();
  std::error_code ignored;
  std::filesystem::remove(config + "/quillon.conf", ignored);
  std::filesystem::remove(config + "/quillon.back", ignored);
  if (!favorites.empty())
    write_marks(config + "/quillon.conf", favorites);
  if (!blacklist.empty())
    write_marks(config + "/quillon.back", blacklist);
  // A scan that does not end fails the program at once.
  const Deadline deadline(120, "opening the window over the fixture");
  window = std::make_unique<CountingWindow>();
}

void
WindowFixture::click_box(const std::string& uri, int column)
{
  const std::string path = path_of(uri);
  ASSERT_FALSE(path.empty()) << uri << " is not listed";
  auto* cell = test::peer(*window).tree_view.get_column_cell_renderer(column);
  g_signal_emit_by_name(cell->gobj(), "toggled", path.c_str());
}

void
WindowFixture::search(const std::string& text)
{
  test::peer(*window).search_combo.get_entry()->set_text(text);
}

std::string
WindowFixture::tooltip_of(const std::string& uri) const
{
  const Gtk::TreeModel::Row row = row_of(*window, uri);
  return row ? row.get_value(test::peer(*window).columns.tooltip) : "";
}

namespace {

std::set<GtkWidget*>
toplevel_windows()
{
  std::set<GtkWidget*> windows;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* l = toplevels; l; l = l->next)
    windows.insert(GTK_WIDGET(l->data));
  g_list_free(toplevels);
  return windows;
}

void
find_label(GtkWidget* widget, gpointer found)
{
  if (GTK_IS_LABEL(widget))
    *static_cast<GtkWidget**>(found) = widget;
  else if (GTK_IS_CONTAINER(widget))
    gtk_container_forall(GTK_CONTAINER(widget), find_label, found);
}

} // namespace

std::string
WindowFixture::shown_tooltip(const std::string& uri)
{
  const std::string path = path_of(uri);
  if (path.empty()) {
    ADD_FAILURE() << uri << " is not listed";
    return "";
  }
  test::peer(*window).tree_view.set_cursor(Gtk::TreePath(path));
  // A tooltip makes its own popup window with a label in it; the view's
  // handler fills that label as it does before the toolkit shows it.
  const std::set<GtkWidget*> before = toplevel_windows();
  GtkTooltip* tooltip = GTK_TOOLTIP(g_object_new(GTK_TYPE_TOOLTIP, nullptr));
  GtkWidget* label = nullptr;
  for (GtkWidget* popup : toplevel_windows())
    if (!before.count(popup))
      find_label(popup, &label);
  gboolean shown = FALSE;
  g_signal_emit_by_name(test::peer(*window).tree_view.gobj(),
                        "query-tooltip",
                        0,
                        0,
                        TRUE,
                        tooltip,
                        &shown);
  std::string text;
  if (!label)
    ADD_FAILURE() << "no tooltip label found";
  else if (shown)
    text = gtk_label_get_text(GTK_LABEL(label));
  g_object_unref(tooltip);
  return text;
}

bool
WindowFixture::reported(const std::string& uri) const
{
  // The first two lines hold the counts, then one invalid URI a line.
  std::istringstream lines(test::peer(*window).tray_tooltip.raw());
  std::string line;
  std::getline(lines, line);
  std::getline(lines, line);
  while (std::getline(lines, line))
    if (line == uri)
      return true;
  return false;
}

} // namespace quillon::test
