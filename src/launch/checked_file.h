#pragma once

// Opening the fixed, shared paths under /tmp without trusting what another
// local user may have planted there.

#include "common/posix_io.h"

#include <string>
#include <sys/types.h>

namespace quillon::launch {

/// What a checked open found at the path.
enum class FileCheck
{
  usable, ///< a regular file of this user with one link, now open
  absent, ///< nothing there (only when not asked to create)
  refused ///< something else: `reason` says what
};

struct CheckedFile
{
  FileCheck check = FileCheck::refused;
  FileDescriptor fd;
  std::string reason;
};

/// Opens `path` with `flags` (O_RDONLY, or O_WRONLY | O_CREAT) without
/// following a symbolic link and without blocking on a FIFO, and keeps it
/// open only when it is a regular file owned by this user with one link.
/// Nothing is truncated: that is up to the caller once the check passed.
CheckedFile
open_private_file(const std::string& path, int flags, mode_t mode = 0666);

/// A private file of this user that stands in for a fixed path under /tmp
/// that is refused (another user's file, say): "quillon-" + `name` in
/// $XDG_RUNTIME_DIR when that is a directory of this user closed to others,
/// otherwise a new file made by mkstemp in /tmp (mode 0600). Empty when
/// neither can be had.
struct StandIn
{
  std::string path;
  /// Made by mkstemp: a new name each time, so it is not left behind when
  /// it is of no more use.
  bool temporary = false;
};

StandIn
private_stand_in(const std::string& name);

} // namespace quillon::launch
