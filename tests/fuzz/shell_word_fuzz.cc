// Plugin URIs handed to the shell in the launch command: whatever the URI,
// the host gets it as exactly one argument, byte for byte, and the shell
// runs nothing else.

#include "fuzz_check.h"
#include "launch/commands.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <glibmm/shell.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/// An empty directory the shell runs in: an argument that escaped its
/// quotes and redirected output would leave a file here.
std::string scratch;

bool
is_letter(unsigned char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool
is_plain_character(unsigned char c)
{
  return is_letter(c) || (c >= '0' && c <= '9') ||
         (c != '\0' && std::strchr("/._~:@%+=,#-", c));
}

/// Plain URIs go unquoted: a letter first, then only URI characters that
/// mean nothing to the shell there.
bool
is_plain(const std::string& uri)
{
  if (uri.empty() || !is_letter(static_cast<unsigned char>(uri[0])))
    return false;
  for (const char c : uri)
    if (!is_plain_character(static_cast<unsigned char>(c)))
      return false;
  return true;
}

/// Runs `command` as system() would (/bin/sh -c), with no PATH, so only
/// builtins run, and returns what it wrote.
std::string
run_shell(const std::string& command)
{
  int out[2];
  FUZZ_CHECK(pipe(out) == 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);
  posix_spawn_file_actions_addchdir_np(&actions, scratch.c_str());
  const char* const argv[] = { "sh", "-c", command.c_str(), nullptr };
  const char* const envp[] = { "PATH=/nonexistent", "LC_ALL=C", nullptr };
  pid_t child = 0;
  const int failed = posix_spawn(&child,
                                 "/bin/sh",
                                 &actions,
                                 nullptr,
                                 const_cast<char* const*>(argv),
                                 const_cast<char* const*>(envp));
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  FUZZ_CHECK(failed == 0);
  std::string output;
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(out[0], buffer, sizeof buffer);
    if (count > 0)
      output.append(buffer, std::size_t(count));
    else if (count == 0 || errno != EINTR)
      break;
  }
  close(out[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  FUZZ_CHECK(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return output;
}

bool
scratch_is_empty()
{
  DIR* directory = opendir(scratch.c_str());
  FUZZ_CHECK(directory);
  bool empty = true;
  while (const dirent* entry = readdir(directory))
    if (std::strcmp(entry->d_name, ".") != 0 &&
        std::strcmp(entry->d_name, "..") != 0)
      empty = false;
  closedir(directory);
  return empty;
}

void
remove_scratch()
{
  rmdir(scratch.c_str());
}

} // namespace

extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
    std::string(tmp && *tmp ? tmp : "/tmp") + "/quillon-shell-fuzz-XXXXXX";
  FUZZ_CHECK(mkdtemp(pattern.data()));
  scratch = pattern;
  // A run ends by exit() when its time is up; after a failure the
  // directory stays for a look at what got into it.
  std::atexit(remove_scratch);
  return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  // URIs come from lilv as C strings: they end at the first NUL.
  const auto* text = reinterpret_cast<const char*>(data);
  const std::string uri(text, strnlen(text, size));

  const std::string word = quillon::launch::shell_word(uri);
  FUZZ_CHECK((word == uri) == is_plain(uri));
  FUZZ_CHECK(Glib::shell_unquote(word) == uri);
  const std::string tail = quillon::launch::command_tail(uri);
  FUZZ_CHECK(tail == " " + word + " & ");

  // The launch command's shape with printf as the host: it writes each of
  // its arguments followed by a NUL, which no URI holds.
  const std::string output = run_shell("printf '%s\\0' host" + tail + "wait");
  FUZZ_CHECK(output == std::string("host\0", 5) + uri + std::string(1, '\0'));
  FUZZ_CHECK(scratch_is_empty());
  return 0;
}
