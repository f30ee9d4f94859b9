#pragma once

// The message windows of failed launches: not modal, so the list stays
// usable; each closes with its button, Return or Escape, and is released.

#include <cstddef>
#include <glibmm/ustring.h>
#include <gtkmm/messagedialog.h>
#include <list>
#include <memory>
#include <sigc++/trackable.h>

namespace quillon {

class MessageWindows : public sigc::trackable
{
public:
  MessageWindows() = default;
  MessageWindows(const MessageWindows&) = delete;
  MessageWindows& operator=(const MessageWindows&) = delete;

  /// Shows a window with `primary` in bold and `secondary` below it, both
  /// as plain text (no markup is read in them).
  void show(const Glib::ustring& primary, const Glib::ustring& secondary);

  /// The windows that are up.
  std::size_t count() const { return windows.size(); }

private:
  void release(Gtk::MessageDialog* window);

  std::list<std::unique_ptr<Gtk::MessageDialog>> windows;
};

} // namespace quillon
