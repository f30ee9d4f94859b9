#pragma once

// A host program for launch tests: a shell script that records the
// arguments it was started with and a copy of the state file it was told to
// load ("-l FILE"), so a test can see exactly what the shell handed over.

#include <string>
#include <vector>

namespace quillon::test {

class FakeHost
{
public:
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  /// The command to set as the window's host.
  const std::string& command() const { return script; }
  /// Runs the main loop until the host has run, for at most `timeout_ms`.
  bool ran(int timeout_ms = 3000) const;
  /// Whether the host has run, without waiting.
  bool has_run() const;
  /// The arguments of the last run, each whole, even with line feeds in it.
  std::vector<std::string> arguments() const;
  /// The state file's text as the last run with "-l" saw it.
  std::string state() const;
  bool saw_state() const;
  /// Forgets the last run, for the next launch.
  void forget() const;

private:
  std::string directory;
  std::string script;
  std::string record;
  std::string state_copy;
  std::string pids;
};

} // namespace quillon::test
