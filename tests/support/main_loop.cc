#include "support/main_loop.h"

#include <chrono>
#include <gtkmm/main.h>
#include <thread>

namespace quillon::test {

bool
pump_until(const std::function<bool()>& done, int timeout_ms)
{
  const auto deadline =
    std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    if (Gtk::Main::events_pending())
      Gtk::Main::iteration(false);
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

bool
never_within(int timeout_ms, const std::function<bool()>& happened)
{
  return !pump_until(happened, timeout_ms);
}

void
pump_pending()
{
  while (Gtk::Main::events_pending())
    Gtk::Main::iteration(false);
}

} // namespace quillon::test
