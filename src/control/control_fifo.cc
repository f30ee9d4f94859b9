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
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

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
  // Remove the FIFO only while it is still the one this process made or
  // opened; the descriptor and the watch go with the process.
  if (!is_owner)
    return;
  struct stat named;
  if (lstat(path.c_str(), &named) != 0 || !S_ISFIFO(named.st_mode) ||
      named.st_uid != getuid())
    return;
  struct stat opened;
  if (fd >= 0 && (fstat(fd, &opened) != 0 || opened.st_dev != named.st_dev ||
                  opened.st_ino != named.st_ino))
    return;
  unlink(path.c_str());
}

int
ControlFifo::open_fifo()
{
  path = control::fifo_path(getuid());
  is_owner = false;
  if (access(path.c_str(), F_OK) != 0) {
    is_owner = true;
    // Private to this user: another user must not be able to drive or
    // read this instance.
    if (mkfifo(path.c_str(), 0600) != 0) {
      is_owner = false;
      // Another instance made it in the meantime: join it.
      if (errno != EEXIST)
        return -1;
    }
  }
  fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno != ELOOP)
    return -1;
  if (fd < 0 || !is_ours()) {
    diagnostic(_("quillon: not using %s: it is not a FIFO of this user\n"),
               path.c_str());
    if (fd >= 0)
      close(fd);
    fd = -1;
    is_owner = false;
    return -1;
  }
  arm_watch();
  return 0;
}

bool
ControlFifo::is_ours() const
{
  struct stat info;
  return fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode) &&
         info.st_uid == getuid();
}

void
ControlFifo::arm_watch()
{
  // Never two watches: a pause may end while another is still pending.
  watch.disconnect();
  watch = Glib::signal_io().connect(
    sigc::ptr_fun(&on_control_input), fd, Glib::IO_IN, Glib::PRIORITY_DEFAULT);
}

void
ControlFifo::write_line(const std::string& line)
{
  // A full FIFO loses the line, as a failed write would.
  (void)write_all(fd, line);
}

namespace {

// How long after its announcement a newcomer still expects a running owner
// to answer, and how long it leaves each repeated announcement alone.
constexpr gint64 answer_window_us = 300 * 1000;
constexpr unsigned repeat_pause_ms = 10;

// How long an owner takes an "exit" it reads back for its own answer to a
// newcomer that has not been scheduled yet.
constexpr gint64 exit_window_us = 1000 * 1000;
// The pause after writing "exit", in which the newcomer reads it.
constexpr unsigned exit_pause_ms = 5;

} // namespace

void
ControlFifo::send(Glib::IOCondition condition, Glib::ustring message)
{
  if ((condition & Glib::IO_OUT) == 0 || fd < 0)
    return;
  write_line(message.raw() + "\n");
  announced_at = g_get_monotonic_time();
}

void
ControlFifo::repeat_announcement()
{
  // Every reader of the FIFO wakes for a line and the quickest takes it, so
  // on a busy machine a newcomer can read its own announcement before the
  // owner is even scheduled. Put it back after a short pause; the watch is
  // armed again together with the line, so the owner's "exit" always finds
  // this process listening.
  watch.disconnect();
  Glib::signal_timeout().connect_once(
    [this] {
      write_line(announcement.raw() + "\n");
      arm_watch();
    },
    repeat_pause_ms,
    Glib::PRIORITY_DEFAULT);
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
  for (ssize_t count; (count = read_some(fd, buffer, sizeof buffer)) > 0;)
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
  switch (message) {
    case control::Message::quit:
      Gtk::Main::quit();
      break;
    case control::Message::exit:
      if (answered_at != 0 &&
          g_get_monotonic_time() - answered_at < exit_window_us) {
        // Most likely the answer this owner wrote, read back because the
        // newcomer was not scheduled within the pause: hand it on again.
        answer_newcomer();
        break;
      }
      is_owner = false;
      if (window)
        window->close_window();
      Glib::signal_idle().connect_once(sigc::ptr_fun(&Gtk::Main::quit),
                                       Glib::PRIORITY_DEFAULT_IDLE);
      break;
    case control::Message::show:
      if (window)
        window->show_window();
      break;
    case control::Message::hide:
      if (window)
        window->hide_window();
      break;
    case control::Message::systray_action:
      if (window)
        window->systray_action();
      break;
    case control::Message::announcement:
      // Tell the newcomer to leave, and leave that line to it for a moment.
      answered_at = g_get_monotonic_time();
      answer_newcomer();
      if (window)
        window->show_window();
      is_owner = true;
      break;
    case control::Message::own_announcement:
      if (!is_owner && announced_at != 0 &&
          g_get_monotonic_time() - announced_at < answer_window_us) {
        repeat_announcement();
        break;
      }
      if (window)
        window->show_window();
      is_owner = true;
      break;
    case control::Message::unknown:
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
