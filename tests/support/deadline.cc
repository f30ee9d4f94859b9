#include "support/deadline.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace quillon::test {

namespace {

const char* step = "";

void
on_alarm(int)
{
  // Only async-signal-safe calls here.
  const char* const head = "\nDeadline passed: ";
  (void)!write(STDERR_FILENO, head, std::strlen(head));
  (void)!write(STDERR_FILENO, step, std::strlen(step));
  (void)!write(STDERR_FILENO, " did not end\n", 13);
  _exit(124);
}

} // namespace

Deadline::Deadline(unsigned seconds, const char* what)
{
  step = what;
  std::signal(SIGALRM, on_alarm);
  alarm(seconds);
}

Deadline::~Deadline()
{
  alarm(0);
  std::signal(SIGALRM, SIG_DFL);
}

} // namespace quillon::test
