// The window over the plugins Debian installs under /usr/lib/lv2: it lists
// what lilv's own lv2ls lists, less the plugins without a name.

#include "app/plugin_list.h"
#include "support/ustring_printer.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>

namespace quillon {
namespace {

std::set<std::string>
lv2ls_uris()
{
  std::set<std::string> uris;
  FILE* listing = popen("lv2ls 2>/dev/null", "r");
  if (!listing)
    return uris;
  char line[4096];
  while (std::fgets(line, sizeof line, listing)) {
    std::string uri(line);
    if (!uri.empty() && uri.back() == '\n')
      uri.pop_back();
    uris.insert(uri);
  }
  pclose(listing);
  return uris;
}

TEST(RealPlugins, ListsWhatLilvListsInNameOrder)
{
  unsetenv("LV2_PATH");
  const std::set<std::string> expected = lv2ls_uris();
  ASSERT_GT(expected.size(), 100u)
    << "the LV2 plugin packages of the test set-up are missing";

  const auto window = std::make_unique<LV2PluginList>();
  std::set<std::string> listed;
  Glib::ustring previous;
  bool first = true;
  for (const auto& row : window->list_store->children()) {
    const Glib::ustring name = row.get_value(window->columns.name);
    const Glib::ustring tooltip = row.get_value(window->columns.tooltip);
    EXPECT_TRUE(name.validate());
    EXPECT_TRUE(tooltip.validate());
    EXPECT_FALSE(tooltip.empty());
    if (!first) {
      EXPECT_LE(previous.compare(name), 0) << previous << " before " << name;
    }
    previous = name;
    first = false;
    listed.insert(row.get_value(window->columns.uri));
  }
  EXPECT_EQ(listed.size(), std::size_t(window->valid_count));
  EXPECT_EQ(std::size_t(window->valid_count + window->invalid_count),
            expected.size());
  for (const auto& uri : listed)
    EXPECT_EQ(expected.count(uri), 1u) << uri;
  // Whatever lilv lists and the window does not is reported as nameless.
  for (const auto& uri : expected)
    if (!listed.count(uri)) {
      EXPECT_NE(window->tray_tooltip.raw().find("\n" + uri), std::string::npos)
        << uri;
    }
}

} // namespace
} // namespace quillon
