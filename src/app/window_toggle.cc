#include "app/window_toggle.h"

namespace quillon {

namespace {

/// The desktop number of a window shown on all desktops.
constexpr unsigned long all_desktops = 0xFFFFFFFFul;

} // namespace

ToggleAction
toggle_action(bool hidden, bool active)
{
  if (hidden)
    return ToggleAction::show;
  return active ? ToggleAction::hide : ToggleAction::bring_forward;
}

bool
window_is_active(std::optional<bool> manager_says, bool toolkit_says)
{
  return toolkit_says || manager_says.value_or(false);
}

std::optional<unsigned long>
desktop_to_move_to(std::optional<unsigned long> window_desktop,
                   std::optional<unsigned long> current_desktop)
{
  if (!window_desktop || !current_desktop ||
      *window_desktop == *current_desktop || *window_desktop == all_desktops)
    return std::nullopt;
  return current_desktop;
}

} // namespace quillon
