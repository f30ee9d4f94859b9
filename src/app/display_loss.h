#pragma once

// The toolkit's connection to the X display going away (the X server ended
// or was killed at logout): the changed mark lists are saved before the
// process ends.

namespace quillon {

class SessionEnd;

/// While it lives, the loss of the toolkit's display connection saves the
/// changed lists through `session` and ends the process with status 1, as
/// the toolkit's own handler did. Made after the toolkit opened its
/// display; its end puts the toolkit's handler back.
class DisplayLossSave
{
public:
  explicit DisplayLossSave(SessionEnd& session);
  ~DisplayLossSave();
  DisplayLossSave(const DisplayLossSave&) = delete;
  DisplayLossSave& operator=(const DisplayLossSave&) = delete;
};

} // namespace quillon
