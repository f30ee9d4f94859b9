#include "app/session_end.h"

#include <csignal>
#include <glib-unix.h>
#include <utility>

namespace quillon {

SessionEnd::SessionEnd(ChangedLists changed, std::function<void()> end)
  : changed_lists(std::move(changed))
  , end_loop(std::move(end))
{
  const int numbers[] = { SIGTERM, SIGHUP, SIGINT };
  for (std::size_t i = 0; i < sources.size(); ++i) {
    sources[i] = { this, numbers[i], 0 };
    sources[i].id = g_unix_signal_add(numbers[i], &on_signal, &sources[i]);
  }
}

SessionEnd::~SessionEnd()
{
  // GLib puts the default action back when the last source of a signal
  // goes.
  for (const Source& source : sources)
    if (source.id != 0)
      g_source_remove(source.id);
}

bool
SessionEnd::save()
{
  if (saved.exchange(true))
    return false;
  // A failure is reported and the session still ends: nothing can keep
  // the marks once it is over.
  marks::save_mark_files(changed_lists());
  return true;
}

gboolean
SessionEnd::on_signal(gpointer data)
{
  const Source& source = *static_cast<const Source*>(data);
  SessionEnd& session = *source.session;
  // A repeated signal, while the first one's save runs or after it, waits
  // in GLib until this returns and then finds the work done. The source
  // stays: removing it would give the signal its default action, and a
  // second SIGTERM would then cut the teardown short.
  int none = 0;
  if (!session.caught.compare_exchange_strong(none, source.signal_number))
    return G_SOURCE_CONTINUE;
  session.save();
  session.end_loop();
  return G_SOURCE_CONTINUE;
}

} // namespace quillon
