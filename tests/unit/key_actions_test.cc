// Which action a key release asks for, by X11's key values and modifier
// bits as GDK passes them on.

#include "app/key_actions.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

constexpr unsigned return_key = 0xff0d;
constexpr unsigned space = 0x20;
constexpr unsigned kp_enter = 0xff8d;
constexpr unsigned escape = 0xff1b;
constexpr unsigned shift = 1u << 0;
constexpr unsigned control = 1u << 2;
constexpr unsigned alt = 1u << 3;

TEST(KeyDispatch, ReturnAndSpaceFirstThenControlLetters)
{
  EXPECT_EQ(key_action(return_key, 0), KeyAction::launch_menu);
  EXPECT_EQ(key_action(space, control | shift), KeyAction::launch_menu);
  EXPECT_EQ(key_action(kp_enter, 0), KeyAction::none);
  EXPECT_EQ(key_action(kp_enter, control), KeyAction::none);

  EXPECT_EQ(key_action('q', control), KeyAction::quit);
  EXPECT_EQ(key_action('Q', control), KeyAction::quit);
  EXPECT_EQ(key_action('Q', control | shift), KeyAction::quit);
  EXPECT_EQ(key_action('q', control | alt), KeyAction::quit);
  EXPECT_EQ(key_action('q', 0), KeyAction::none);
  EXPECT_EQ(key_action('q', shift), KeyAction::none);

  EXPECT_EQ(key_action('c', control), KeyAction::copy_uri);
  EXPECT_EQ(key_action('r', control), KeyAction::refresh);
  EXPECT_EQ(key_action('W', control), KeyAction::toggle_window);
  EXPECT_EQ(key_action('x', control), KeyAction::none);
  EXPECT_EQ(key_action(escape, control), KeyAction::none);
}

TEST(KeyDispatch, OnlyQuitRefreshAndToggleAreTheWindowsOwn)
{
  EXPECT_TRUE(is_window_shortcut(key_action('q', control)));
  EXPECT_TRUE(is_window_shortcut(key_action('R', control)));
  EXPECT_TRUE(is_window_shortcut(key_action('w', control)));
  // Control+C copies what the focused place holds; Return and space are
  // the list's.
  EXPECT_FALSE(is_window_shortcut(key_action('c', control)));
  EXPECT_FALSE(is_window_shortcut(key_action(return_key, control)));
  EXPECT_FALSE(is_window_shortcut(key_action(space, 0)));
}

TEST(HeldKeys, RepeatsUntilReleasedAndNeverWithoutAKeyCode)
{
  HeldKeys held;
  EXPECT_FALSE(held.press(24));
  EXPECT_TRUE(held.press(24));
  EXPECT_FALSE(held.press(25)) << "another key is a press of its own";
  held.release(24);
  EXPECT_FALSE(held.press(24));
  EXPECT_TRUE(held.press(25));
  held.clear();
  EXPECT_FALSE(held.press(25));
  EXPECT_FALSE(held.press(0));
  EXPECT_FALSE(held.press(0));
}

} // namespace
} // namespace quillon
