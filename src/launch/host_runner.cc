#include "launch/host_runner.h"

#include "catalogue/lv2_path.h"
#include "common/posix_io.h"
#include "launch/host_outcome.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <glib/gi18n.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillon::launch {

struct HostRunner::Job
{
  HostRunner* runner = nullptr;
  std::string host;
  std::string plugin;
  GPid pid = 0;
  gint64 started_us = 0;
  int output_fd = -1;
  guint output_source = 0;
  guint child_source = 0;
  bool ended = false;
  OutputTail tail;

  ~Job()
  {
    if (output_source)
      g_source_remove(output_source);
    if (child_source)
      g_source_remove(child_source);
    if (output_fd >= 0)
      close(output_fd);
  }
};

namespace {

/// How much one wake-up reads before the main loop gets its turn again.
constexpr std::size_t read_per_wakeup = 256 * 1024;

/// Reads what the pipe holds now; false once it is at its end or broken.
bool
read_output(HostRunner::Job& job, std::size_t limit)
{
  char buffer[16384];
  std::size_t done = 0;
  while (done < limit) {
    const ssize_t n = read_some(job.output_fd, buffer, sizeof buffer);
    if (n > 0) {
      // Passed on to our standard error; a broken one is not our worry.
      (void)write_all(STDERR_FILENO, buffer, static_cast<std::size_t>(n));
      job.tail.add(buffer, static_cast<std::size_t>(n));
      done += static_cast<std::size_t>(n);
    } else if (n == 0) {
      return false;
    } else {
      return errno == EAGAIN || errno == EWOULDBLOCK;
    }
  }
  return true;
}

/// Runs in the child between fork and exec: only async-signal-safe calls.
void
prepare_child(gpointer /*data*/)
{
  // Its own session: no hang-up or terminal signal meant for us reaches
  // it, and it is not ended along with us.
  setsid();
  // Once we have ended nobody reads its output; a write then fails instead
  // of killing the host.
  signal(SIGPIPE, SIG_IGN);
}

char**
host_environment()
{
  char** environment = g_get_environ();
  char* current_dir = g_get_current_dir();
  if (const auto path = catalogue::absolute_lv2_path(
        g_environ_getenv(environment, "LV2_PATH"), current_dir))
    environment =
      g_environ_setenv(environment, "LV2_PATH", path->c_str(), TRUE);
  g_free(current_dir);
  return environment;
}

} // namespace

HostRunner::HostRunner(FailureHandler handler)
  : on_failure(std::move(handler))
{
}

HostRunner::~HostRunner()
{
  // Hosts that still run are no longer watched, but they are still reaped
  // if the main loop runs on, so that none is left a zombie.
  for (const std::unique_ptr<Job>& job : jobs) {
    if (job->ended || !job->child_source)
      continue;
    g_source_remove(job->child_source);
    job->child_source = 0;
    g_child_watch_add(
      job->pid, [](GPid, gint, gpointer) {}, nullptr);
  }
}

void
HostRunner::start(const std::string& command,
                  const std::string& host,
                  const std::string& plugin)
{
  auto job = std::make_unique<Job>();
  job->runner = this;
  job->host = host;
  job->plugin = plugin;

  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    on_failure({ host, plugin, -1, std::strerror(errno) });
    return;
  }
  // Room for a burst of output while the main loop is busy; best effort.
  (void)fcntl(pipe_fds[0], F_SETPIPE_SZ, 1 << 20);
  (void)fcntl(pipe_fds[0], F_SETFL, O_NONBLOCK);

  char* argv[] = { const_cast<char*>("/bin/sh"),
                   const_cast<char*>("-c"),
                   const_cast<char*>(command.c_str()),
                   nullptr };
  char** environment = host_environment();
  GError* error = nullptr;
  const gboolean spawned = g_spawn_async_with_pipes_and_fds(
    nullptr,
    argv,
    environment,
    GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDIN_FROM_DEV_NULL),
    prepare_child,
    nullptr,
    -1,
    pipe_fds[1],
    pipe_fds[1],
    nullptr,
    nullptr,
    0,
    &job->pid,
    nullptr,
    nullptr,
    nullptr,
    &error);
  g_strfreev(environment);
  close(pipe_fds[1]);
  if (!spawned) {
    close(pipe_fds[0]);
    const std::string reason = error ? error->message : "";
    g_clear_error(&error);
    on_failure({ host, plugin, -1, reason });
    return;
  }
  job->started_us = g_get_monotonic_time();
  job->output_fd = pipe_fds[0];

  Job* watched_job = job.get();
  job->output_source = g_unix_fd_add(
    job->output_fd,
    GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR),
    [](gint, GIOCondition, gpointer data) -> gboolean {
      auto* current = static_cast<Job*>(data);
      if (read_output(*current, read_per_wakeup))
        return G_SOURCE_CONTINUE;
      current->output_source = 0;
      close(current->output_fd);
      current->output_fd = -1;
      if (current->ended)
        current->runner->finish(current);
      return G_SOURCE_REMOVE;
    },
    watched_job);
  job->child_source = g_child_watch_add(
    job->pid,
    [](GPid pid, gint wait_status, gpointer data) {
      auto* current = static_cast<Job*>(data);
      g_spawn_close_pid(pid);
      current->child_source = 0;
      current->ended = true;
      const long long elapsed_ms =
        (g_get_monotonic_time() - current->started_us) / 1000;
      // What the host printed last is in the pipe already: read it now,
      // so that its last words are in the message.
      if (current->output_fd >= 0)
        (void)read_output(*current, 16 * read_per_wakeup);
      if (launch_failed(elapsed_ms, wait_status))
        current->runner->on_failure({ current->host,
                                      current->plugin,
                                      wait_status,
                                      current->tail.text() });
      // A child of the host may still hold the pipe: read on until it ends.
      if (current->output_fd < 0)
        current->runner->finish(current);
    },
    watched_job);
  jobs.push_back(std::move(job));
}

void
HostRunner::finish(Job* job)
{
  jobs.remove_if(
    [job](const std::unique_ptr<Job>& owned) { return owned.get() == job; });
}

std::string
status_text(int wait_status)
{
  char text[128];
  if (wait_status < 0)
    return _("it could not be started");
  if (WIFSIGNALED(wait_status)) {
    const int number = WTERMSIG(wait_status);
    g_snprintf(
      text, sizeof text, _("signal %d (%s)"), number, g_strsignal(number));
  } else if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) > 128 &&
             WEXITSTATUS(wait_status) < 128 + NSIG) {
    // The shell tells a host killed by a signal this way.
    const int number = WEXITSTATUS(wait_status) - 128;
    g_snprintf(text,
               sizeof text,
               _("exit status %d (signal %d, %s)"),
               WEXITSTATUS(wait_status),
               number,
               g_strsignal(number));
  } else if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 127) {
    g_snprintf(text, sizeof text, _("exit status 127 (command not found)"));
  } else {
    g_snprintf(
      text, sizeof text, _("exit status %d"), WEXITSTATUS(wait_status));
  }
  return text;
}

} // namespace quillon::launch
