#include "app/display_loss.h"

#include "app/session_end.h"
#include "common/diagnostics.h"

#include <X11/Xlib.h>
#include <atomic>
#include <cstdlib>
#include <gdk/gdkx.h>
#include <glib/gi18n.h>

namespace quillon {

namespace {

std::atomic<SessionEnd*> session_end{ nullptr };
std::atomic<Display*> toolkit_display{ nullptr };
std::atomic<XIOErrorHandler> toolkit_handler{ nullptr };

/// The process-wide Xlib handler of a lost connection. It must not return
/// for the toolkit's connection: Xlib would end the process itself.
int
on_display_lost(Display* display)
{
  // Another connection, the hot-key listener's, may be lost alone: its own
  // exit handler then ends just the listener, and the program runs on.
  // When the whole server went, the toolkit's connection follows at once.
  if (display != toolkit_display.load())
    return 0;
  // Only the main thread uses the toolkit's connection, so this runs there,
  // inside an Xlib call of the main loop. No code that changes a mark list
  // calls Xlib halfway through, so the lists are whole and nobody else
  // touches them now. The save is file work only: no widget, no X.
  if (SessionEnd* session = session_end.load())
    session->save();
  diagnostic(_("quillon: lost the connection to the display %s\n"),
             DisplayString(display));
  std::exit(EXIT_FAILURE);
}

} // namespace

DisplayLossSave::DisplayLossSave(SessionEnd& session)
{
  toolkit_display.store(gdk_x11_get_default_xdisplay());
  session_end.store(&session);
  toolkit_handler.store(XSetIOErrorHandler(&on_display_lost));
}

DisplayLossSave::~DisplayLossSave()
{
  session_end.store(nullptr);
  XSetIOErrorHandler(toolkit_handler.load());
}

} // namespace quillon
