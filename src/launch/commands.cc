#include "launch/commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <glibmm/shell.h>

namespace quillon::launch {

const char* const state_file_path = "/tmp/state.ttl";

namespace {

bool
is_ascii_letter(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool
is_plain(const std::string& uri)
{
  if (uri.empty() || !is_ascii_letter(uri[0]))
    return false;
  for (const char c : uri) {
    if (!is_ascii_letter(c) && !(c >= '0' && c <= '9') &&
        (c == '\0' || !std::strchr("/._~:@%+=,#-", c)))
      return false;
  }
  return true;
}

} // namespace

bool
shell_available()
{
  return std::system(nullptr) != 0;
}

void
run_in_shell(const std::string& command)
{
  if (shell_available())
    (void)std::system(command.c_str());
}

std::string
shell_word(const std::string& uri)
{
  // Every ordinary URI keeps its exact text; anything the shell could take
  // apart or act on reaches the host as one quoted argument.
  if (is_plain(uri))
    return uri;
  return Glib::shell_quote(uri);
}

std::string
shell_path(const std::string& path)
{
  const bool plain =
    !path.empty() && std::all_of(path.begin(), path.end(), [](char c) {
      return is_ascii_letter(c) || (c >= '0' && c <= '9') || c == '/' ||
             c == '.' || c == '_' || c == '-';
    });
  return plain ? path : Glib::shell_quote(path);
}

std::string
command_tail(const std::string& uri)
{
  return " " + shell_word(uri) + " & ";
}

std::string
launch_command(const std::string& interpreter, const std::string& tail)
{
  return interpreter + tail;
}

std::string
preset_command(const std::string& interpreter,
               const std::string& tail,
               const std::string& state_path)
{
  return interpreter + " -l " + shell_path(state_path) + tail;
}

std::string
foreground_command(const std::string& command)
{
  static const std::string background = "& ";
  if (command.size() >= background.size() &&
      command.compare(
        command.size() - background.size(), background.size(), background) == 0)
    return command.substr(0, command.size() - background.size());
  return command;
}

} // namespace quillon::launch
