// What the tray click does with the window, and where it brings it.

#include "app/window_toggle.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(WindowToggle, HidesOnlyTheActiveWindow)
{
  EXPECT_EQ(toggle_action(true, false), ToggleAction::show);
  EXPECT_EQ(toggle_action(true, true), ToggleAction::show);
  EXPECT_EQ(toggle_action(false, false), ToggleAction::bring_forward);
  EXPECT_EQ(toggle_action(false, true), ToggleAction::hide);

  // Either the focus or the manager's word makes it active.
  EXPECT_TRUE(window_is_active(false, true));
  EXPECT_TRUE(window_is_active(true, false));
  EXPECT_FALSE(window_is_active(false, false));
  EXPECT_TRUE(window_is_active(std::nullopt, true));
  EXPECT_FALSE(window_is_active(std::nullopt, false));
}

TEST(WindowToggle, MovesToTheCurrentDesktopOnlyFromAnother)
{
  EXPECT_EQ(desktop_to_move_to(2ul, 0ul), 0ul);
  EXPECT_EQ(desktop_to_move_to(0ul, 3ul), 3ul);
  EXPECT_EQ(desktop_to_move_to(1ul, 1ul), std::nullopt);
  EXPECT_EQ(desktop_to_move_to(0xFFFFFFFFul, 1ul), std::nullopt)
    << "shown on all desktops";
  EXPECT_EQ(desktop_to_move_to(std::nullopt, 1ul), std::nullopt);
  EXPECT_EQ(desktop_to_move_to(1ul, std::nullopt), std::nullopt);
}

} // namespace
} // namespace quillon
