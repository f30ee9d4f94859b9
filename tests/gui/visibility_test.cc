// Showing and hiding the window under a real window manager (openbox).

#include "app/desktop_hints.h"
#include "support/key_events.h"
#include "support/main_loop.h"
#include "support/window_fixture.h"
#include "support/window_manager.h"
#include "support/window_peer.h"

#include <gdk/gdkkeysyms.h>
#include <gdkmm/window.h>
#include <gtest/gtest.h>

namespace quillon {
namespace {

class Visibility : public test::WindowFixture
{
protected:
  void SetUp() override
  {
    fixture.add_simple_plugin("a", "urn:q:a", "Alpha");
    fixture.add_simple_plugin("b", "urn:q:b", "Beta");
    open();
    ASSERT_TRUE(test::pump_until([this] { return shown(); }, 5000));
    // The toggle hides only the window the user looks at: the active one.
    wait_shown(true);
  }

  bool shown() const
  {
    const auto gdk_window = window->get_window();
    return gdk_window && window->get_mapped() &&
           (gdk_window->get_state() &
            (Gdk::WINDOW_STATE_WITHDRAWN | Gdk::WINDOW_STATE_ICONIFIED)) == 0;
  }

  void wait_shown(bool expected)
  {
    EXPECT_TRUE(test::pump_until([&] { return shown() == expected; }, 5000))
      << (expected ? "not shown" : "not hidden");
    // Until the manager is done with it and has given it the focus, or
    // taken it away, the window's place and focus are passing ones.
    EXPECT_TRUE(test::window_manager_caught_up());
    EXPECT_TRUE(test::pump_until(
      [&] { return window->property_is_active() == expected; }, 5000))
      << (expected ? "not focused" : "still focused");
  }

  /// Waits until the window manager has moved the window to `place`.
  void wait_moved(std::pair<int, int> place)
  {
    EXPECT_TRUE(test::pump_until([&] { return origin() == place; }, 5000))
      << "not moved";
  }

  std::pair<int, int> origin() const
  {
    int x = 0;
    int y = 0;
    window->get_window()->get_root_origin(x, y);
    return { x, y };
  }

  /// Selects a row and moves the focus away, as a user might before hiding.
  void disturb()
  {
    test::peer(*window).selection->select(
      test::peer(*window).list_store->children().begin());
    test::peer(*window).refresh_button.grab_focus();
  }

  void expect_reset()
  {
    EXPECT_EQ(test::peer(*window).selection->count_selected_rows(), 0);
    EXPECT_TRUE(test::peer(*window).tree_view.has_focus());
  }
};

TEST_F(Visibility, TrayToggleHidesAndBringsBackAtTheSamePlace)
{
  window->move(200, 150);
  wait_moved({ 200, 150 });
  const auto before = origin();
  disturb();
  window->systray_action();
  wait_shown(false);
  EXPECT_EQ(
    std::make_pair(test::peer(*window).window_x, test::peer(*window).window_y),
    before);
  window->systray_action();
  wait_shown(true);
  EXPECT_EQ(origin(), before);
  expect_reset();
}

TEST_F(Visibility, StartedInTheTrayTheFirstToggleDoesNotMove)
{
  // As main does for --systray: hidden without remembering a position.
  test::peer(*window).options.systray = true;
  window->hide();
  wait_shown(false);
  window->systray_action();
  wait_shown(true);
  EXPECT_FALSE(test::peer(*window).options.systray);
  EXPECT_EQ(test::peer(*window).window_x, -1);
  EXPECT_EQ(test::peer(*window).window_y, -1);
  expect_reset();
}

TEST_F(Visibility, AMinimisedWindowCountsAsHidden)
{
  window->iconify();
  wait_shown(false);
  disturb();
  window->systray_action();
  wait_shown(true);
  expect_reset();
}

TEST_F(Visibility, ShowRestoresOnlyARealRememberedPosition)
{
  window->move(300, 200);
  wait_moved({ 300, 200 });
  const auto placed = origin();

  // Nothing remembered yet: the sum -2 is not more than 1.
  window->hide();
  wait_shown(false);
  window->show_window();
  wait_shown(true);
  EXPECT_EQ(test::peer(*window).window_x, -1);

  // A remembered (0, 0) is not restored either.
  test::peer(*window).window_x = 0;
  test::peer(*window).window_y = 0;
  window->hide();
  wait_shown(false);
  window->show_window();
  wait_shown(true);
  EXPECT_NE(origin(), std::make_pair(0, 0));

  // hide_window remembers; twice in a row keeps the first position.
  window->move(placed.first, placed.second);
  wait_moved(placed);
  window->hide_window();
  wait_shown(false);
  const auto remembered =
    std::make_pair(test::peer(*window).window_x, test::peer(*window).window_y);
  EXPECT_EQ(remembered, origin());
  window->hide_window();
  EXPECT_EQ(
    std::make_pair(test::peer(*window).window_x, test::peer(*window).window_y),
    remembered);
  disturb();
  window->show_window();
  wait_shown(true);
  EXPECT_EQ(origin(), remembered);
  expect_reset();

  // Shown already: raised, position refreshed.
  window->show_window();
  EXPECT_EQ(
    std::make_pair(test::peer(*window).window_x, test::peer(*window).window_y),
    origin());
}

TEST_F(Visibility, ACoveredWindowIsBroughtForwardThenHidden)
{
  Gtk::Window cover;
  cover.set_default_size(1200, 900);
  cover.move(0, 0);
  cover.show();
  cover.present();
  ASSERT_TRUE(test::pump_until(
    [&] { return cover.property_is_active().get_value(); }, 5000));
  ASSERT_TRUE(test::window_manager_caught_up());
  ASSERT_EQ(desktop::manager_says_active(window->gobj()), false);
  disturb();

  window->systray_action();
  wait_shown(true);
  EXPECT_TRUE(test::pump_until(
    [&] { return desktop::manager_says_active(window->gobj()) == true; }));
  expect_reset();

  // Now the user looks at it: hidden, and Control+W does the same.
  {
    SCOPED_TRACE("toggled when active");
    window->systray_action();
    wait_shown(false);
  }
  window->systray_action();
  wait_shown(true);
  SCOPED_TRACE("Control+W");
  test::tap_key(*window, GDK_KEY_w, GDK_CONTROL_MASK);
  wait_shown(false);
}

TEST_F(Visibility, AWindowOnAnotherDesktopComesToTheCurrentOne)
{
  const auto current = desktop::current_desktop(window->gobj());
  ASSERT_TRUE(current);
  desktop::move_to_desktop(window->gobj(), *current + 1);
  ASSERT_TRUE(test::pump_until(
    [&] { return desktop::window_desktop(window->gobj()) == *current + 1; },
    5000))
    << "the window manager has a single desktop";
  ASSERT_TRUE(test::window_manager_caught_up());

  window->systray_action();
  EXPECT_TRUE(test::pump_until(
    [&] { return desktop::window_desktop(window->gobj()) == current; }, 5000));
  wait_shown(true);
  EXPECT_EQ(desktop::current_desktop(window->gobj()), current);
}

TEST_F(Visibility, TrayMenuPopsUpWithItsQuitItem)
{
  window->systray_menu(3, 0);
  EXPECT_TRUE(test::pump_until(
    [this] { return test::peer(*window).tray_menu.get_mapped(); }));
  EXPECT_EQ(test::peer(*window).quit_item.get_label(), "Quit");
  test::peer(*window).tray_menu.popdown();
}

} // namespace
} // namespace quillon
