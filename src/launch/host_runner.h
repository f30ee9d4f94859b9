#pragma once

// Starting hosts and watching them: each launch runs through /bin/sh in a
// session of its own, with what it prints passed on to our standard error
// and its last lines kept, until it ends or the watch is over.

#include <functional>
#include <list>
#include <memory>
#include <string>

namespace quillon::launch {

/// A launch that failed: the host ended too soon or badly.
struct HostFailure
{
  std::string host;    ///< the host command, as chosen
  std::string plugin;  ///< what was launched, for the user
  int wait_status = 0; ///< as waitpid gives it; -1 when it never started
  std::string output;  ///< the last lines the host printed (raw bytes)
};

class HostRunner
{
public:
  using FailureHandler = std::function<void(const HostFailure&)>;

  explicit HostRunner(FailureHandler on_failure);
  /// Stops watching. Hosts still running go on: they are in sessions of
  /// their own, and a write to the closed pipe fails instead of killing.
  ~HostRunner();
  HostRunner(const HostRunner&) = delete;
  HostRunner& operator=(const HostRunner&) = delete;

  /// Hands `command` to /bin/sh, without waiting for it. Standard input is
  /// /dev/null; LV2_PATH is given in the absolute form the program read.
  /// A host that cannot be started at all is reported as failed.
  void start(const std::string& command,
             const std::string& host,
             const std::string& plugin);

  /// Hosts started and not yet reaped, or whose output is still open.
  std::size_t watched() const { return jobs.size(); }

  struct Job;

private:
  void finish(Job* job);

  FailureHandler on_failure;
  std::list<std::unique_ptr<Job>> jobs;
};

/// A diagnostic text for a wait status: "exit status 1", "signal 11".
std::string
status_text(int wait_status);

} // namespace quillon::launch
