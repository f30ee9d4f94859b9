#include "launch/message_windows.h"

#include <glibmm/main.h>

namespace quillon {

void
MessageWindows::show(const Glib::ustring& primary,
                     const Glib::ustring& secondary)
{
  auto window = std::make_unique<Gtk::MessageDialog>(
    primary, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_CLOSE, false);
  Gtk::MessageDialog* shown = window.get();
  shown->set_title("quillon");
  shown->set_secondary_text(secondary, false);
  // Return closes it through the button; Escape is the dialog's own close.
  shown->set_default_response(Gtk::RESPONSE_CLOSE);
  shown->set_position(Gtk::WIN_POS_MOUSE);
  shown->signal_response().connect([this, shown](int) {
    shown->hide();
    // Released once its own signal has finished.
    Glib::signal_idle().connect_once(
      sigc::bind(sigc::mem_fun(*this, &MessageWindows::release), shown));
  });
  windows.push_back(std::move(window));
  shown->show();
  shown->present();
}

} // namespace quillon

namespace quillon {

void
MessageWindows::release(Gtk::MessageDialog* window)
{
  windows.remove_if([window](const std::unique_ptr<Gtk::MessageDialog>& kept) {
    return kept.get() == window;
  });
}

} // namespace quillon
