// The three views, the search and Refresh, over fixture bundles.

#include "support/main_loop.h"
#include "support/ustring_printer.h"
#include "support/window_fixture.h"
#include "support/window_peer.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace quillon {
namespace {

using Names = std::vector<std::string>;

class Views : public test::WindowFixture
{
protected:
  void SetUp() override
  {
    fixture.add_simple_plugin(
      "reverb", "urn:q:reverb", "Hall Reverb", "lv2:ReverbPlugin");
    fixture.add_simple_plugin(
      "delay", "urn:q:delay", "Tape Delay", "lv2:DelayPlugin");
    fixture.add_simple_plugin(
      "chorus", "urn:q:chorus", "Chorus", "lv2:ChorusPlugin");
    fixture.add_simple_plugin(
      "both", "urn:q:both", "Both Marks", "lv2:FilterPlugin");
  }

  std::string fav_label() const
  {
    return test::peer(*window).fav_button.get_label();
  }
  std::string bl_label() const
  {
    return test::peer(*window).bl_button.get_label();
  }
};

TEST_F(Views, ButtonsSwitchBetweenTheThreeViews)
{
  open({ "urn:q:reverb", "urn:q:both" }, { "urn:q:delay", "urn:q:both" });
  EXPECT_EQ(names(), (Names{ "Chorus", "Hall Reverb" }));

  test::peer(*window).fav_button.set_active(true);
  EXPECT_EQ(names(), Names{ "Hall Reverb" });
  EXPECT_EQ(fav_label(), " _All ");

  // Turning the blacklist view on turns the favourites off, without a
  // second refill.
  window->fav_refills = window->bl_refills = 0;
  test::peer(*window).bl_button.set_active(true);
  EXPECT_EQ(names(), (Names{ "Both Marks", "Tape Delay" }));
  EXPECT_EQ(window->bl_refills, 1);
  EXPECT_EQ(window->fav_refills, 0);
  EXPECT_FALSE(test::peer(*window).fav_button.get_active());
  EXPECT_EQ(fav_label(), "_Fav.");
  EXPECT_EQ(bl_label(), " _All ");

  window->fav_refills = window->bl_refills = 0;
  test::peer(*window).fav_button.set_active(true);
  EXPECT_EQ(window->fav_refills, 1);
  EXPECT_EQ(window->bl_refills, 0);
  EXPECT_FALSE(test::peer(*window).bl_button.get_active());
  EXPECT_EQ(bl_label(), "_BL.");

  test::peer(*window).fav_button.set_active(false);
  EXPECT_EQ(names(), (Names{ "Chorus", "Hall Reverb" }));
  EXPECT_EQ(fav_label(), "_Fav.");
}

TEST_F(Views, EmptyMarkListsGiveEmptyViews)
{
  open();
  test::peer(*window).fav_button.set_active(true);
  EXPECT_TRUE(names().empty());
  test::peer(*window).bl_button.set_active(true);
  EXPECT_TRUE(names().empty());
}

TEST_F(Views, SearchMatchesNameClassAndUriInAnyCase)
{
  open({}, { "urn:q:delay" });
  search("REVERB");
  EXPECT_EQ(names(), Names{ "Hall Reverb" });
  // Across the join of class label and URI.
  search("plugINURN:Q:CH");
  EXPECT_EQ(names(), Names{ "Chorus" });
  // A blacklisted plugin never matches.
  search("tape");
  EXPECT_TRUE(names().empty());
  search("");
  EXPECT_EQ(names(), (Names{ "Both Marks", "Chorus", "Hall Reverb" }));
}

TEST_F(Views, SearchInTheMarkViews)
{
  open({ "urn:q:reverb" }, { "urn:q:delay" });
  // The favourites view is refilled: the search shows nothing of its own.
  test::peer(*window).fav_button.set_active(true);
  search("chorus");
  EXPECT_EQ(names(), Names{ "Hall Reverb" });
  EXPECT_TRUE(test::peer(*window).fav_button.get_active());

  // In the blacklist view the search lists matching plugins that are not
  // blacklisted; the button stays as it is.
  test::peer(*window).bl_button.set_active(true);
  search("r");
  EXPECT_EQ(names(), (Names{ "Both Marks", "Chorus", "Hall Reverb" }));
  EXPECT_EQ(bl_label(), " _All ");
  test::peer(*window).bl_button.set_active(false);
  EXPECT_EQ(bl_label(), "_BL.");
}

TEST_F(Views, RefreshClearsTheSearchWithoutSwallowingTheNext)
{
  open();
  search("chorus");
  EXPECT_EQ(names(), Names{ "Chorus" });
  window->search_changes = 0;
  test::peer(*window).refresh_button.clicked();
  EXPECT_EQ(test::peer(*window).search_combo.get_entry()->get_text(), "");
  EXPECT_EQ(names().size(), 4u);
  EXPECT_FALSE(test::peer(*window).skip_search);
  // The change that emptied the entry ran no search against the freed
  // world, and the next change is searched.
  search("tape");
  EXPECT_EQ(names(), Names{ "Tape Delay" });

  // With an empty entry Refresh reports no change: the next search must
  // not be swallowed either.
  search("");
  test::peer(*window).refresh_button.clicked();
  EXPECT_FALSE(test::peer(*window).skip_search);
  search("hall");
  EXPECT_EQ(names(), Names{ "Hall Reverb" });
}

TEST_F(Views, RefreshKeepsTheShownView)
{
  open({ "urn:q:chorus" }, { "urn:q:delay" });
  test::peer(*window).fav_button.set_active(true);
  test::peer(*window).refresh_button.clicked();
  EXPECT_EQ(names(), Names{ "Chorus" });
  EXPECT_EQ(fav_label(), " _All ");

  test::peer(*window).bl_button.set_active(true);
  test::peer(*window).refresh_button.clicked();
  EXPECT_EQ(names(), Names{ "Tape Delay" });
  EXPECT_EQ(bl_label(), " _All ");
  EXPECT_TRUE(test::peer(*window).bl_button.get_active());
}

TEST_F(Views, ClassListIsSortedAndUnique)
{
  fixture.add_simple_plugin(
    "reverb2", "urn:q:reverb2", "Plate", "lv2:ReverbPlugin");
  fixture.append_manifest("custom",
                          "<urn:q:lower> a rdfs:Class ; rdfs:subClassOf "
                          "lv2:Plugin ; rdfs:label \"reverb plugin\" .");
  fixture.add_simple_plugin(
    "lower", "urn:q:lowerplugin", "Lower", "<urn:q:lower>");
  open({}, { "urn:q:chorus" });
  std::vector<std::string> offered;
  const auto model = test::peer(*window).search_combo.get_model();
  for (const auto& row : model->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    offered.push_back(text);
  }
  // A class that only blacklisted plugins have is offered too; labels
  // that differ in case are both offered, in the locale's order.
  std::vector<Glib::ustring> expected = { "Chorus Plugin",
                                          "Delay Plugin",
                                          "Filter Plugin",
                                          "reverb plugin",
                                          "Reverb Plugin" };
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(offered,
            std::vector<std::string>(expected.begin(), expected.end()));

  // Choosing a class searches for it.
  test::peer(*window).search_combo.set_active(2);
  EXPECT_EQ(test::peer(*window).search_combo.get_entry()->get_text(),
            "Filter Plugin");
  EXPECT_EQ(names(), Names{ "Both Marks" });
}

} // namespace
} // namespace quillon
