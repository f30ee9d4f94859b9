#pragma once

#include <functional>

namespace quillon::test {

/// Runs the toolkit's main loop until `done` holds or `timeout_ms` passed;
/// tells whether `done` held.
bool
pump_until(const std::function<bool()>& done, int timeout_ms = 3000);

/// Runs the main loop for `timeout_ms` and tells whether `happened` stayed
/// false all along; stops early once it holds. For checks that something
/// does not happen, a background job say, where no event can tell that it
/// never will: `timeout_ms` must be ample for it to happen if it were to.
bool
never_within(int timeout_ms, const std::function<bool()>& happened);

/// Runs the main loop until it has nothing left to do right now.
void
pump_pending();

} // namespace quillon::test
