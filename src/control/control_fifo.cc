#include "control/control_fifo.h"

#include "app/window_control.h"
#include "common/diagnostics.h"
#include "common/posix_io.h"
#include "control/fifo_path.h"
#include "control/messages.h"

#include <cerrno>
#include <fcntl.h>
#include <glib.h>
#include <glib/gi18n.h>
#include <glibmm/main.h>
#include <gtkmm/main.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

namespace {

// How often a FIFO whose owner ends just then is made anew.
constexpr int open_attempts = 8;
// How often a newcomer looks whether its line was taken, and how long it
// waits for an owner that is stopped or hangs.
constexpr unsigned wait_step_ms = 10;
constexpr gint64 give_up_us = 5 * G_USEC_PER_SEC;
// The pause after writing "exit", in which the newcomer reads it.
constexpr unsigned exit_pause_ms = 5;

} // namespace

ControlFifo*
ControlFifo::get_instance()
{
  static ControlFifo instance;
  return &instance;
}

ControlFifo::ControlFifo()
{
  open_fifo();
}

ControlFifo::~ControlFifo()
{
  // Remove the FIFO only while it is still the one this process owns; the
  // descriptor, and with it the lock, is closed after.
  if (!is_owner)
    return;
  struct stat named;
  if (lstat(path.c_str(), &named) != 0 || !S_ISFIFO(named.st_mode) ||
      named.st_uid != getuid())
    return;
  struct stat opened;
  if (!fd || fstat(fd.get(), &opened) != 0 || opened.st_dev != named.st_dev ||
      opened.st_ino != named.st_ino)
    return;
  // The lock is still held: no newcomer takes this FIFO over meanwhile.
  unlink(path.c_str());
}

int
ControlFifo::open_fifo()
{
  path = control::fifo_path(getuid());
  is_owner = false;
  watch.disconnect();
  fd = FileDescriptor();
  for (int attempt = 0; attempt < open_attempts; ++attempt) {
    // Private to this user: another user must not be able to drive or read
    // this instance. One that is there already, made by a start racing
    // this one or left by an instance that was killed, is used as it is.
    if (mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST)
      return -1;
    FileDescriptor opened(
      open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    // Removed by an owner that ended in between: make it anew.
    if (!opened && errno == ENOENT)
      continue;
    if (!opened && errno != ELOOP)
      return -1;
    fd = std::move(opened);
    if (!fd || !is_ours()) {
      diagnostic(_("quillon: not using %s: it is not a FIFO of this user\n"),
                 path.c_str());
      fd = FileDescriptor();
      return -1;
    }
    switch (take_lock()) {
      case Lock::taken:
        // Also over a FIFO left by a killed instance: nobody is to be told,
        // so a hidden start stays hidden.
        is_owner = true;
        arm_watch();
        return 0;
      case Lock::held:
        // A newcomer never reads: a line it took would be lost to the
        // owner.
        return 0;
      case Lock::stale:
        fd = FileDescriptor();
        break;
    }
  }
  fd = FileDescriptor();
  return -1;
}

ControlFifo::Lock
ControlFifo::take_lock() const
{
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
    // Anything but a lock held elsewhere (a file system without locks)
    // leaves this process on its own, as a failed open would.
    return errno == EWOULDBLOCK ? Lock::held : Lock::taken;
  // The owner removes the FIFO while it still holds the lock: a lock taken
  // on a FIFO that the path no longer names was taken too late.
  struct stat named;
  struct stat opened;
  if (lstat(path.c_str(), &named) != 0 || fstat(fd.get(), &opened) != 0 ||
      named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
    return Lock::stale;
  return Lock::taken;
}

bool
ControlFifo::is_ours() const
{
  struct stat info;
  return fstat(fd.get(), &info) == 0 && S_ISFIFO(info.st_mode) &&
         info.st_uid == getuid();
}

void
ControlFifo::arm_watch()
{
  // Never two watches: a pause may end while another is still pending.
  watch.disconnect();
  watch = Glib::signal_io().connect(sigc::ptr_fun(&on_control_input),
                                    fd.get(),
                                    Glib::IO_IN,
                                    Glib::PRIORITY_DEFAULT);
}

void
ControlFifo::write_line(const std::string& line)
{
  // A full FIFO loses the line, as a failed write would.
  (void)write_all(fd.get(), line);
}

void
ControlFifo::send(Glib::IOCondition condition, Glib::ustring message)
{
  if ((condition & Glib::IO_OUT) == 0 || !fd)
    return;
  // One write of less than PIPE_BUF bytes: the line arrives whole, never
  // mixed with another writer's.
  write_line(message.raw() + "\n");
  if (is_owner)
    return;
  waiting.disconnect();
  waiting_since = g_get_monotonic_time();
  waiting = Glib::signal_timeout().connect(
    sigc::mem_fun(*this, &ControlFifo::check_taken), wait_step_ms);
}

bool
ControlFifo::check_taken()
{
  int unread = 0;
  if (ioctl(fd.get(), FIONREAD, &unread) == 0 && unread == 0) {
    // Only the owner reads: all that was written before, this process's
    // announcement included, has reached it.
    Gtk::Main::quit();
    return false;
  }
  switch (take_lock()) {
    case Lock::taken:
      take_over();
      return false;
    case Lock::stale:
      // The owner removed the FIFO, and this line with it, as it ended:
      // start again on the path.
      if (open_fifo() == 0 && is_newcomer())
        send(Glib::IO_OUT, announcement);
      else if (window)
        window->show_window();
      return false;
    case Lock::held:
      break;
  }
  if (g_get_monotonic_time() - waiting_since >= give_up_us) {
    diagnostic(_("quillon: the instance that owns %s does not answer\n"),
               path.c_str());
    Gtk::Main::quit();
    return false;
  }
  return true;
}

void
ControlFifo::take_over()
{
  is_owner = true;
  // What is in the FIFO now was written for the owner that died: an "exit"
  // among it was that owner's answer, perhaps to this very process.
  lines.set_taking_over(true);
  read_input();
  lines.set_taking_over(false);
  arm_watch();
  // Started to bring a window forward, and there is no other to bring.
  if (window)
    window->show_window();
}

void
ControlFifo::answer_newcomer()
{
  watch.disconnect();
  write_line("exit\n");
  Glib::signal_timeout().connect_once(
    sigc::mem_fun(*this, &ControlFifo::arm_watch),
    exit_pause_ms,
    Glib::PRIORITY_DEFAULT);
}

void
ControlFifo::read_input()
{
  char buffer[4096];
  // Until nothing more is there for now (EAGAIN), or an error: then the
  // next wake-up reads on.
  for (ssize_t count; (count = read_some(fd.get(), buffer, sizeof buffer)) > 0;)
    reader.feed(buffer, std::size_t(count));
  control::LineReader::Line line;
  while (reader.next(line))
    handle_line(line);
}

void
ControlFifo::handle_line(const control::LineReader::Line& line)
{
  const control::Message message =
    line.cut ? control::Message::unknown
             : control::classify_line(line.text, announcement.raw());
  switch (lines.react(message)) {
    case control::Reaction::quit:
      Gtk::Main::quit();
      break;
    case control::Reaction::leave:
      is_owner = false;
      if (window)
        window->close_window();
      Glib::signal_idle().connect_once(sigc::ptr_fun(&Gtk::Main::quit),
                                       Glib::PRIORITY_DEFAULT_IDLE);
      break;
    case control::Reaction::show:
      if (window)
        window->show_window();
      break;
    case control::Reaction::hide:
      if (window)
        window->hide_window();
      break;
    case control::Reaction::systray_action:
      if (window)
        window->systray_action();
      break;
    case control::Reaction::answer:
      answer_newcomer();
      if (window)
        window->show_window();
      break;
    case control::Reaction::drop:
      break;
    case control::Reaction::report:
      diagnostic(_("quillon * Unknown Message\n %2s\n"),
                 control::printable_line(line.text).c_str());
      break;
  }
}

bool
on_control_input(Glib::IOCondition condition)
{
  if ((condition & Glib::IO_IN) == 0)
    return false;
  ControlFifo::get_instance()->read_input();
  return true;
}

} // namespace quillon
