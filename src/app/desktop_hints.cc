#include "app/desktop_hints.h"

#include <X11/Xatom.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace quillon::desktop {

namespace {

/// The X window of a realised toplevel, or None.
::Window
xid_of(GtkWindow* window)
{
  GdkWindow* gdk_window = gtk_widget_get_window(GTK_WIDGET(window));
  return gdk_window ? GDK_WINDOW_XID(gdk_window) : None;
}

/// The screen of `window`, when the manager running on it keeps `hint`.
GdkScreen*
screen_keeping(GtkWindow* window, const char* hint)
{
  GdkScreen* screen = gtk_window_get_screen(window);
  if (!screen || !gdk_x11_screen_supports_net_wm_hint(
                   screen, gdk_atom_intern_static_string(hint)))
    return nullptr;
  return screen;
}

/// The first 32-bit item of property `name` of `xwindow`, of type `type`.
std::optional<unsigned long>
read_number(GdkScreen* screen, ::Window xwindow, const char* name, Atom type)
{
  GdkDisplay* display = gdk_screen_get_display(screen);
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  gdk_error_trap_push();
  const int status =
    XGetWindowProperty(GDK_DISPLAY_XDISPLAY(display),
                       xwindow,
                       gdk_x11_get_xatom_by_name_for_display(display, name),
                       0,
                       1,
                       False,
                       type,
                       &actual_type,
                       &format,
                       &count,
                       &left,
                       &data);
  // A window gone meanwhile only means the manager does not say.
  const bool failed = gdk_error_trap_pop() != 0;
  std::optional<unsigned long> value;
  if (!failed && status == Success && actual_type == type && format == 32 &&
      count == 1)
    value = *reinterpret_cast<unsigned long*>(data);
  if (data)
    XFree(data);
  return value;
}

std::optional<unsigned long>
root_number(GtkWindow* window, const char* name, Atom type)
{
  GdkScreen* screen = screen_keeping(window, name);
  if (!screen)
    return std::nullopt;
  return read_number(
    screen, GDK_WINDOW_XID(gdk_screen_get_root_window(screen)), name, type);
}

} // namespace

std::optional<bool>
manager_says_active(GtkWindow* window)
{
  const std::optional<unsigned long> active =
    root_number(window, "_NET_ACTIVE_WINDOW", XA_WINDOW);
  if (!active)
    return std::nullopt;
  const ::Window own = xid_of(window);
  return own != None && *active == own;
}

std::optional<unsigned long>
window_desktop(GtkWindow* window)
{
  GdkScreen* screen = screen_keeping(window, "_NET_WM_DESKTOP");
  const ::Window own = xid_of(window);
  if (!screen || own == None)
    return std::nullopt;
  return read_number(screen, own, "_NET_WM_DESKTOP", XA_CARDINAL);
}

std::optional<unsigned long>
current_desktop(GtkWindow* window)
{
  return root_number(window, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
}

void
move_to_desktop(GtkWindow* window, unsigned long desktop)
{
  GdkScreen* screen = screen_keeping(window, "_NET_WM_DESKTOP");
  const ::Window own = xid_of(window);
  if (!screen || own == None)
    return;
  GdkDisplay* display = gdk_screen_get_display(screen);
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = own;
  message.xclient.message_type =
    gdk_x11_get_xatom_by_name_for_display(display, "_NET_WM_DESKTOP");
  message.xclient.format = 32;
  message.xclient.data.l[0] = static_cast<long>(desktop);
  // Source indication 2: the move stands for the user's own request.
  message.xclient.data.l[1] = 2;
  XSendEvent(GDK_DISPLAY_XDISPLAY(display),
             GDK_WINDOW_XID(gdk_screen_get_root_window(screen)),
             False,
             SubstructureRedirectMask | SubstructureNotifyMask,
             &message);
}

} // namespace quillon::desktop
