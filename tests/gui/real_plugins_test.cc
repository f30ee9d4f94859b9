// The window over the plugins Debian installs under /usr/lib/lv2: it lists
// what lilv's own lv2ls lists, less the plugins without a name.

#include "app/plugin_list.h"
#include "catalogue/port_summary.h"
#include "common/lilv_ptr.h"
#include "support/ustring_printer.h"
#include "support/window_peer.h"

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
  for (const auto& row : test::peer(*window).list_store->children()) {
    const Glib::ustring name = row.get_value(test::peer(*window).columns.name);
    const Glib::ustring tooltip =
      row.get_value(test::peer(*window).columns.tooltip);
    EXPECT_TRUE(name.validate());
    EXPECT_TRUE(tooltip.validate());
    EXPECT_FALSE(tooltip.empty());
    if (!first) {
      EXPECT_LE(previous.compare(name), 0) << previous << " before " << name;
    }
    previous = name;
    first = false;
    listed.insert(row.get_value(test::peer(*window).columns.uri));
  }
  EXPECT_EQ(listed.size(), std::size_t(test::peer(*window).valid_count));
  EXPECT_EQ(std::size_t(test::peer(*window).valid_count +
                        test::peer(*window).invalid_count),
            expected.size());
  for (const auto& uri : listed)
    EXPECT_EQ(expected.count(uri), 1u) << uri;
  // Whatever lilv lists and the window does not is reported as nameless.
  for (const auto& uri : expected)
    if (!listed.count(uri)) {
      EXPECT_NE(test::peer(*window).tray_tooltip.raw().find("\n" + uri),
                std::string::npos)
        << uri;
    }
}

TEST(RealPlugins, PortCountsAgreeWithLilvsPortObjects)
{
  unsetenv("LV2_PATH");
  // Two worlds over the same plugins: one counted the way the window does,
  // the other through the port objects lilv builds itself.
  const WorldPtr direct(lilv_world_new());
  const WorldPtr loaded(lilv_world_new());
  lilv_world_load_all(direct.get());
  lilv_world_load_all(loaded.get());
  const catalogue::PortClasses direct_classes(direct.get());
  const catalogue::PortClasses loaded_classes(loaded.get());
  const LilvPlugins* direct_plugins = lilv_world_get_all_plugins(direct.get());
  const LilvPlugins* loaded_plugins = lilv_world_get_all_plugins(loaded.get());

  std::size_t with_ports = 0;
  LILV_FOREACH(plugins, i, loaded_plugins)
  {
    const LilvPlugin* reference = lilv_plugins_get(loaded_plugins, i);
    const LilvPlugin* plugin =
      lilv_plugins_get_by_uri(direct_plugins, lilv_plugin_get_uri(reference));
    ASSERT_NE(plugin, nullptr);
    const std::string expected = catalogue::port_summary_text(
      catalogue::count_loaded_ports(reference, loaded_classes));
    EXPECT_EQ(catalogue::port_summary_text(
                catalogue::count_ports(plugin, direct_classes)),
              expected)
      << lilv_node_as_uri(lilv_plugin_get_uri(reference));
    with_ports += !expected.empty();
  }
  EXPECT_GT(with_ports, 100u);
}

} // namespace
} // namespace quillon
