#pragma once

// Waiting for the window manager: for tests of what it does with a window,
// where its frames, moves and focus changes come in their own time.

namespace quillon::test {

/// Runs the main loop until the window manager has caught up with all that
/// was asked of it so far: it takes requests in turn, so once it answers
/// one sent now, it has done what the earlier ones asked and what it did
/// has reached us. False when no answer came within `timeout_ms`.
bool
window_manager_caught_up(int timeout_ms = 5000);

} // namespace quillon::test
