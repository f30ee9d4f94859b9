#include "support/window_fixture.h"


#include <filesystem>
#include <fstream>

namespace quillon::test {

namespace {

void
write_marks(const std::string& path, const std::vector<std::string>& marks)
{
  std::filesystem::create_directories(
    std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  for (const auto& mark : marks)
    out << mark << "\n";
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
  window = std::make_unique<CountingWindow>();
}

std::vector<std::string>
WindowFixture::names() const
{
  std::vector<std::string> result;
  for (const auto& row : window->list_store->children())
    result.push_back(row.get_value(window->columns.name));
  return result;
}

std::vector<std::string>
WindowFixture::uris() const
{
  std::vector<std::string> result;
  for (const auto& row : window->list_store->children())
    result.push_back(row.get_value(window->columns.uri));
  return result;
}

std::string
WindowFixture::path_of(const std::string& uri) const
{
  for (const auto& row : window->list_store->children())
    if (row.get_value(window->columns.uri) == uri)
      return window->list_store->get_path(row).to_string();
  return "";
}

void
WindowFixture::click_box(const std::string& uri, int column)
{
  const std::string path = path_of(uri);
  ASSERT_FALSE(path.empty()) << uri << " is not listed";
  auto* cell = window->tree_view.get_column_cell_renderer(column);
  g_signal_emit_by_name(cell->gobj(), "toggled", path.c_str());
}

void
WindowFixture::search(const std::string& text)
{
  window->search_combo.get_entry()->set_text(text);
}

} // namespace quillon::test
