#pragma once

// The texts handed to the shell.

#include <string>

namespace quillon::launch {

/// The preset state file the host is told to load.
extern const char* const state_file_path;

/// Whether there is a shell to hand commands to (system(NULL)).
bool
shell_available();

/// Runs `command` through the shell and waits for it; its status is not
/// looked at (the shell reports its own errors). Nothing without a shell.
void
run_in_shell(const std::string& command);

/// `uri` as one shell word: unchanged when it starts with a letter and holds
/// only letters, digits and "/._~:@%+=,#-", otherwise quoted for the shell.
std::string
shell_word(const std::string& uri);

/// `path` as one shell word: unchanged when it holds only letters, digits
/// and "/._-", otherwise quoted for the shell.
std::string
shell_path(const std::string& path);

/// The common end of both launch commands: " " + URI + " & ".
std::string
command_tail(const std::string& uri);

/// Starts the plugin without a preset: `interpreter` + `tail`.
std::string
launch_command(const std::string& interpreter, const std::string& tail);

/// Starts the plugin with the state file: `interpreter` + " -l " +
/// `state_path` + `tail`.
std::string
preset_command(const std::string& interpreter,
               const std::string& tail,
               const std::string& state_path = state_file_path);

/// `command` without the final "& " that puts it in the background: the
/// program starts the job itself, so that it can watch it.
std::string
foreground_command(const std::string& command);

} // namespace quillon::launch
