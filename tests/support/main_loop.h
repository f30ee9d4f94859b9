#pragma once

#include <functional>

namespace quillon::test {

/// Runs the toolkit's main loop until `done` holds or `timeout_ms` passed;
/// tells whether `done` held.
bool
pump_until(const std::function<bool()>& done, int timeout_ms = 3000);

/// Runs the main loop until it has nothing left to do right now.
void
pump_pending();

} // namespace quillon::test
