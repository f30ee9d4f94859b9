// The window's Control-key shortcuts from each place the focus can be, once
// per press, and Control+C copying what the focused place holds.

#include "support/key_events.h"
#include "support/main_loop.h"
#include "support/plugin_rows.h"
#include "support/window_fixture.h"
#include "support/window_peer.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>
#include <gtkmm/clipboard.h>
#include <gtkmm/entry.h>

namespace quillon {
namespace {

/// The window with its quit and toggle counted instead of done, so that
/// the loop goes on and the focus stays where the test put it.
class ShortcutWindow : public test::CountingWindow
{
public:
  void on_quit() override { ++quits; }
  void systray_action() override { ++toggles; }

  int quits = 0;
  int toggles = 0;
};

class Shortcuts : public ::testing::Test
{
protected:
  void SetUp() override
  {
    fixture.add_simple_plugin("a", "urn:q:a", "Alpha");
    fixture.add_simple_plugin("b", "urn:q:b", "Beta");
    window = std::make_unique<ShortcutWindow>();
    // Each Refresh empties the store of its two rows.
    test::peer(*window).list_store->signal_row_deleted().connect(
      [this](const Gtk::TreeModel::Path&) { ++deleted_rows; });
    test::pump_pending();
  }

  int refreshes() const { return deleted_rows / 2; }

  void focus(Gtk::Widget& widget)
  {
    widget.grab_focus();
    ASSERT_EQ(window->get_focus(), &widget);
  }

  test::Lv2Fixture fixture;
  std::unique_ptr<ShortcutWindow> window;
  int deleted_rows = 0;
};

TEST_F(Shortcuts, QuitRefreshAndHideActOncePerPressWhereverTheFocus)
{
  auto peer = test::peer(*window);
  Gtk::Widget* places[] = { peer.search_combo.get_entry(),
                            &peer.fav_button,
                            &peer.tree_view };
  int round = 0;
  for (Gtk::Widget* place : places) {
    SCOPED_TRACE(place->get_name());
    focus(*place);
    ++round;
    // A tap, then a key held through three presses: two actions each.
    test::tap_key(*window, GDK_KEY_q, GDK_CONTROL_MASK);
    test::hold_key(*window, GDK_KEY_Q, GDK_CONTROL_MASK | GDK_SHIFT_MASK, 3);
    EXPECT_EQ(window->quits, 2 * round);
    test::tap_key(*window, GDK_KEY_w, GDK_CONTROL_MASK);
    test::hold_key(*window, GDK_KEY_w, GDK_CONTROL_MASK, 3);
    EXPECT_EQ(window->toggles, 2 * round);
    focus(*place);
    test::tap_key(*window, GDK_KEY_r, GDK_CONTROL_MASK);
    focus(*place);
    test::hold_key(*window, GDK_KEY_r, GDK_CONTROL_MASK, 3);
    EXPECT_EQ(refreshes(), 2 * round);
  }
  // The letters alone are typed, not taken.
  focus(*peer.search_combo.get_entry());
  test::tap_key(*window, GDK_KEY_q, 0);
  EXPECT_EQ(peer.search_combo.get_entry()->get_text(), "q");
  EXPECT_EQ(window->quits, 6);
}

TEST_F(Shortcuts, ControlCCopiesTheSearchTextThereAndTheUriInTheList)
{
  auto peer = test::peer(*window);
  auto clipboard = Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD);
  // A selected row does not make the search field copy its URI.
  test::select(*window, "urn:q:b");

  Gtk::Entry* entry = peer.search_combo.get_entry();
  focus(*entry);
  entry->set_text("Alpha filter");
  entry->select_region(0, 5);
  test::tap_key(*window, GDK_KEY_c, GDK_CONTROL_MASK);
  EXPECT_EQ(clipboard->wait_for_text(), "Alpha");

  entry->set_text("");
  test::select(*window, "urn:q:b");
  focus(peer.tree_view);
  test::tap_key(*window, GDK_KEY_c, GDK_CONTROL_MASK);
  EXPECT_EQ(clipboard->wait_for_text(), "urn:q:b");
  EXPECT_EQ(window->quits + window->toggles, 0);
}

} // namespace
} // namespace quillon
