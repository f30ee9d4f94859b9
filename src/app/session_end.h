#pragma once

// The end of a session that does not come through the Quit button: SIGTERM
// (what a session manager sends at logout), SIGHUP and SIGINT save the
// changed mark lists as Quit does and then end the main loop. The handler
// of a lost display (app/display_loss.h) saves through the same object, so
// the lists are written once whichever way the session ends.

#include "marks/mark_file.h"

#include <array>
#include <atomic>
#include <functional>
#include <glib.h>
#include <vector>

namespace quillon {

class SessionEnd
{
public:
  /// The files to write: those of the changed lists, favourites first.
  using ChangedLists = std::function<std::vector<marks::MarkWrite>()>;

  /// Handles the three signals from now on: each is dispatched by the
  /// default main context, never inside an asynchronous signal handler.
  SessionEnd(ChangedLists changed_lists, std::function<void()> end_loop);
  /// Gives the three signals their default actions back.
  ~SessionEnd();
  SessionEnd(const SessionEnd&) = delete;
  SessionEnd& operator=(const SessionEnd&) = delete;

  /// Writes the changed lists, the first time only; later calls write
  /// nothing and return false. Runs on the main thread only (the lists are
  /// the main thread's); the flag is atomic so that any thread may ask.
  bool save();

  /// The first of the three signals that arrived, or 0.
  int caught_signal() const { return caught.load(); }

private:
  struct Source
  {
    SessionEnd* session;
    int signal_number;
    guint id;
  };

  static gboolean on_signal(gpointer source);

  ChangedLists changed_lists;
  std::function<void()> end_loop;
  std::array<Source, 3> sources{};
  std::atomic<bool> saved{ false };
  std::atomic<int> caught{ 0 };
};

} // namespace quillon
