#include "support/window_manager.h"

#include "support/main_loop.h"

#include <gdk/gdkx.h>

namespace quillon::test {

namespace {

/// The request sent to the window manager and whether it was answered.
struct Request
{
  Atom answer;
  bool answered = false;
};

GdkFilterReturn
look_for_answer(GdkXEvent* xevent, GdkEvent* /*event*/, gpointer data)
{
  auto* request = static_cast<Request*>(data);
  const auto* event = static_cast<const XEvent*>(xevent);
  if (event->type == PropertyNotify && event->xproperty.atom == request->answer)
    request->answered = true;
  return GDK_FILTER_CONTINUE;
}

} // namespace

bool
window_manager_caught_up(int timeout_ms)
{
  // The request: the frame a window of our own would get, a window never
  // shown, so that asking changes nothing a test looks at. The manager
  // answers by setting the sizes on that window.
  GdkWindowAttr attributes{};
  attributes.window_type = GDK_WINDOW_TOPLEVEL;
  attributes.wclass = GDK_INPUT_OUTPUT;
  attributes.width = 1;
  attributes.height = 1;
  attributes.event_mask = GDK_PROPERTY_CHANGE_MASK;
  GdkWindow* const probe = gdk_window_new(nullptr, &attributes, 0);
  Display* const display = GDK_WINDOW_XDISPLAY(probe);
  Request request{ XInternAtom(display, "_NET_FRAME_EXTENTS", False) };
  gdk_window_add_filter(probe, look_for_answer, &request);

  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = GDK_WINDOW_XID(probe);
  message.xclient.message_type =
    XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  message.xclient.format = 32;
  XSendEvent(display,
             DefaultRootWindow(display),
             False,
             SubstructureRedirectMask | SubstructureNotifyMask,
             &message);
  XFlush(display);
  const bool answered =
    pump_until([&request] { return request.answered; }, timeout_ms);

  gdk_window_remove_filter(probe, look_for_answer, &request);
  gdk_window_destroy(probe);
  return answered;
}

} // namespace quillon::test
