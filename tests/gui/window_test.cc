// The real window over fixture bundles: rows, tooltips, counts, Refresh.

#include "app/plugin_list.h"
#include "support/lv2_fixture.h"
#include "support/main_loop.h"
#include "support/plugin_rows.h"
#include "support/ustring_printer.h"
#include "support/window_peer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace quillon {
namespace {

using test::port;

class WindowTest : public ::testing::Test
{
protected:
  void open() { window = std::make_unique<LV2PluginList>(); }

  std::vector<std::string> names() const { return test::names(*window); }

  Gtk::TreeModel::Row row_of(const std::string& uri) const
  {
    return test::row_of(*window, uri);
  }

  test::Lv2Fixture fixture;
  std::unique_ptr<LV2PluginList> window;
};

TEST_F(WindowTest, ListsNamedPluginsInNameOrderWithTheirTexts)
{
  fixture.add_simple_plugin("delay",
                            "urn:q:delay",
                            "Tape Delay",
                            "lv2:DelayPlugin",
                            port(0, "lv2:AudioPort, lv2:InputPort") + " ; " +
                              port(1, "lv2:AudioPort, lv2:OutputPort"));
  fixture.add_simple_plugin(
    "amp", "urn:q:amp", "Amplifier", "lv2:AmplifierPlugin");
  fixture.add_simple_plugin("long",
                            "urn:q:long",
                            "Calf Reverb - Hall - Large Room",
                            "lv2:ReverbPlugin");
  fixture.add_simple_plugin(
    "dash", "urn:q:dash", " - begins with a dash and is long");
  fixture.add_plugin("nameless",
                     "urn:q:nameless",
                     "a lv2:Plugin ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  fixture.add_plugin("nameless2",
                     "urn:q:nameless2",
                     "a lv2:Plugin ; doap:name 7 ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  open();

  EXPECT_EQ(names(),
            (std::vector<std::string>{ " - begins with a dash and is long",
                                       "Amplifier",
                                       "Calf Reverb",
                                       "Tape Delay" }));
  const auto delay = row_of("urn:q:delay");
  EXPECT_EQ(delay.get_value(test::peer(*window).columns.tooltip),
            "Delay Plugin\nAudio Inputs: 1\nAudio Outputs: 1");
  EXPECT_NE(delay.get_value(test::peer(*window).columns.plugin), nullptr);
  EXPECT_FALSE(delay.get_value(test::peer(*window).columns.favorite));
  EXPECT_FALSE(delay.get_value(test::peer(*window).columns.blacklisted));

  EXPECT_EQ(test::peer(*window).valid_count, 4);
  EXPECT_EQ(test::peer(*window).invalid_count, 2);
  const Glib::ustring tray = test::peer(*window).tray_tooltip;
  EXPECT_EQ(tray.substr(0, tray.find("found") + 5),
            "4 valid plugins installed\n2 invalid plugins found");
  EXPECT_NE(tray.raw().find("\nurn:q:nameless"), std::string::npos);
  EXPECT_NE(tray.raw().find("\nurn:q:nameless2"), std::string::npos);
  EXPECT_EQ(test::peer(*window).status_icon->get_tooltip_text(),
            test::peer(*window).tray_tooltip);
}

TEST_F(WindowTest, EmptyCatalogueStillOpens)
{
  open();
  EXPECT_TRUE(test::peer(*window).list_store->children().empty());
  EXPECT_EQ(test::peer(*window).tray_tooltip,
            "0 valid plugins installed\n0 invalid plugins found");
  EXPECT_TRUE(test::peer(*window).status_icon);
  EXPECT_TRUE(window->get_visible());
}

TEST_F(WindowTest, BlacklistedPluginsAreLeftOutButTheirClassesCollected)
{
  fixture.add_simple_plugin("keep", "urn:q:keep", "Keep", "lv2:DelayPlugin");
  fixture.add_simple_plugin(
    "hidden", "urn:q:hidden", "Hidden", "lv2:FilterPlugin");
  fixture.add_plugin("hidden_nameless",
                     "urn:q:hidden-nameless",
                     "a lv2:Plugin, lv2:ChorusPlugin ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  // The marks are loaded before the scan; here they are set by hand and the
  // catalogue scanned again.
  open();
  test::peer(*window).blacklist = { "urn:q:hidden", "urn:q:hidden-nameless" };
  test::peer(*window).class_labels.clear();
  window->on_refresh();
  EXPECT_EQ(names(), std::vector<std::string>{ "Keep" });
  EXPECT_EQ(test::peer(*window).valid_count, 1);
  EXPECT_EQ(test::peer(*window).invalid_count, 0);
  std::vector<std::string> classes(test::peer(*window).class_labels.begin(),
                                   test::peer(*window).class_labels.end());
  std::sort(classes.begin(), classes.end());
  EXPECT_EQ(classes,
            (std::vector<std::string>{
              "Chorus Plugin", "Delay Plugin", "Filter Plugin" }));
}

TEST_F(WindowTest, RefreshFindsANewBundleAndUpdatesTheTray)
{
  fixture.add_simple_plugin("one", "urn:q:one", "One");
  open();
  EXPECT_EQ(names(), std::vector<std::string>{ "One" });
  fixture.add_simple_plugin("two", "urn:q:two", "Two");
  test::peer(*window).refresh_button.clicked();
  EXPECT_EQ(names(), (std::vector<std::string>{ "One", "Two" }));
  EXPECT_EQ(test::peer(*window).status_icon->get_tooltip_text(),
            "2 valid plugins installed\n0 invalid plugins found");
}

TEST_F(WindowTest, ColumnsAreSetUpAndEveryCheckBoxColumnIsVisible)
{
  fixture.add_simple_plugin("one", "urn:q:one", "One");
  open();
  // The window grows from its default width: wait until the view has been
  // laid out at the new one.
  const int view_width =
    test::peer(*window).tree_view.get_allocation().get_width();
  window->resize(600, 300);
  ASSERT_TRUE(test::pump_until([&] {
    return test::peer(*window).tree_view.get_allocation().get_width() >
           view_width;
  }));
  ASSERT_EQ(test::peer(*window).tree_view.get_columns().size(), 3u);
  EXPECT_EQ(test::peer(*window).tree_view.get_column(0)->get_title(), "Name");
  EXPECT_EQ(test::peer(*window).tree_view.get_column(1)->get_title(),
            "Favorite");
  EXPECT_EQ(test::peer(*window).tree_view.get_column(2)->get_title(),
            "Blacklist");
  EXPECT_GE(test::peer(*window).tree_view.get_column(0)->get_width(), 300);
  const int blacklist_width =
    test::peer(*window).tree_view.get_column(2)->get_width();
  EXPECT_GE(blacklist_width, 50);
  EXPECT_LE(blacklist_width, 80);
  EXPECT_EQ(test::peer(*window).tree_view.get_tooltip_column(), 2);
  EXPECT_EQ(test::peer(*window).tree_view.get_name(), "lv2_treeview");
  int sort_column = -1;
  Gtk::SortType order = Gtk::SORT_DESCENDING;
  EXPECT_TRUE(
    test::peer(*window).list_store->get_sort_column_id(sort_column, order));
  EXPECT_EQ(sort_column, 1);
  EXPECT_EQ(order, Gtk::SORT_ASCENDING);
  EXPECT_EQ(window->get_title(), "LV2 plugs");
}

} // namespace
} // namespace quillon
