#include "support/fake_host.h"

#include "support/files.h"
#include "support/main_loop.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <glib.h>
#include <stdexcept>
#include <sys/types.h>

namespace fs = std::filesystem;

namespace quillon::test {

FakeHost::FakeHost()
{
  std::string pattern = (fs::temp_directory_path() / "quillon-host-XXXXXX");
  if (!g_mkdtemp(pattern.data()))
    throw std::runtime_error("cannot make a fake host directory");
  directory = pattern;
  script = directory + "/fake-host";
  record = directory + "/argv";
  state_copy = directory + "/state";
  pids = directory + "/pids";
  // The arguments end in NUL bytes, the one byte no argument can hold. The
  // record appears whole, by a rename, once the copy of the state is made.
  // Then it stays, as a host does while its plugin runs, until the test
  // ends it.
  write_script(script,
               "#!/bin/sh\n"
               "[ \"$1\" = -l ] && cat \"$2\" >'" +
                 state_copy +
                 "'\n"
                 "printf '%s\\0' \"$@\" >'" +
                 record +
                 ".new'\n"
                 "mv '" +
                 record + ".new' '" + record +
                 "'\n"
                 "echo $$ >>'" +
                 pids +
                 "'\n"
                 "exec sleep 600\n");
}

FakeHost::~FakeHost()
{
  std::ifstream running(pids);
  for (pid_t pid; running >> pid;)
    kill(pid, SIGTERM);
  std::error_code ignored;
  fs::remove_all(directory, ignored);
}

bool
FakeHost::ran(int timeout_ms) const
{
  return pump_until([this] { return fs::exists(record); }, timeout_ms);
}

bool
FakeHost::has_run() const
{
  return fs::exists(record);
}

std::vector<std::string>
FakeHost::arguments() const
{
  std::vector<std::string> result;
  const std::string text = read_file(record);
  std::string::size_type start = 0;
  for (auto end = text.find('\0'); end != std::string::npos;
       end = text.find('\0', start)) {
    result.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return result;
}

std::string
FakeHost::state() const
{
  return read_file(state_copy);
}

bool
FakeHost::saw_state() const
{
  return fs::exists(state_copy);
}

void
FakeHost::forget() const
{
  std::error_code ignored;
  fs::remove(record, ignored);
  fs::remove(state_copy, ignored);
}

} // namespace quillon::test
