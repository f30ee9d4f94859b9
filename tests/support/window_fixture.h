#pragma once

// A window over fixture bundles, with helpers to read the list back and to
// act on it as the user does. The window's view handlers are counted.

#include "app/plugin_list.h"
#include "support/lv2_fixture.h"
#include "support/plugin_rows.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace quillon::test {

/// The window, with its view refills counted (the signals reach these
/// overrides through the window's virtual functions).
class CountingWindow : public LV2PluginList
{
public:
  void on_fav_toggled() override
  {
    ++fav_refills;
    LV2PluginList::on_fav_toggled();
  }
  void on_bl_toggled() override
  {
    ++bl_refills;
    LV2PluginList::on_bl_toggled();
  }
  void on_search_changed() override
  {
    ++search_changes;
    LV2PluginList::on_search_changed();
  }

  int fav_refills = 0;
  int bl_refills = 0;
  int search_changes = 0;
};

class WindowFixture : public ::testing::Test
{
protected:
  /// Builds the window with the given marks loaded before the scan; ends
  /// the test program when that takes more than two minutes.
  void open(const std::vector<std::string>& favorites = {},
            const std::vector<std::string>& blacklist = {});

  /// The list read back and a row selected: see support/plugin_rows.h.
  std::vector<std::string> names() const { return test::names(*window); }
  std::vector<std::string> uris() const { return test::uris(*window); }
  std::string path_of(const std::string& uri) const
  {
    return test::path_of(*window, uri);
  }
  void select(const std::string& uri) { test::select(*window, uri); }

  /// Clicks a check box as the user does: the toolkit flips the flag, then
  /// the program's handler runs. `column` is 1 (Favorite) or 2 (Blacklist).
  void click_box(const std::string& uri, int column);
  void search(const std::string& text);

  /// The tooltip column of the row of `uri`.
  std::string tooltip_of(const std::string& uri) const;
  /// The text the view's tooltip shows for the row of `uri`: the row gets
  /// the cursor and the view fills a keyboard tooltip for it.
  std::string shown_tooltip(const std::string& uri);
  /// True when the tray tooltip names `uri` among the invalid plugins.
  bool reported(const std::string& uri) const;

  Lv2Fixture fixture;
  std::unique_ptr<CountingWindow> window;
};

} // namespace quillon::test
