#pragma once

// The key of the catalogue cache: everything that could change a row. That
// is the search path and the directories lilv reads bundles from, every file
// and directory under them (path, type, size, modification and change time
// in nanoseconds, inode and device), the files of lilv's libraries and of
// the program, lilv's version, the cache format and the language lilv picks
// translated texts by.

#include "catalogue/row_cache.h"

#include <functional>
#include <string>
#include <vector>

namespace quillon::catalogue {

/// The directories of a search path as lilv reads them: split at ':', and
/// each expanded as lilv expands it: "$NAME" (capital letters, digits and
/// '_') by the environment variable, or kept as written when it is unset;
/// "~" before '/' or at the end by $HOME. Empty entries are left out.
std::vector<std::string>
search_directories(const std::string& search_path,
                   const std::function<const char*(const char*)>& environment);

/// The directories to walk when LV2_PATH is unset. lilv's built-in search
/// path is not published, so this covers every place a lilv build for this
/// system may use; walking more than lilv reads only costs a cache miss
/// when one of them changes.
std::string
default_walk_path();

struct KeyInputs
{
  /// The search path as lilv takes it (an empty text when lilv uses its
  /// built-in one).
  std::string search_path;
  /// The directories whose bundles are walked.
  std::vector<std::string> directories;
  /// $LANG, or nothing: lilv chooses among translated names by it.
  std::optional<std::string> lang;
  std::string lilv_version;
  /// lilv's libraries and the program: a new build of either may read the
  /// same bundles otherwise.
  std::vector<std::string> program_files;
};

struct Fingerprint
{
  Digest key{};
  /// False when some file or directory changed so shortly before the walk
  /// that a change right after it could have kept every time stamp (they
  /// advance in clock ticks): no cache may be written under this key.
  bool settled = true;
};

/// Walks the directories and hashes what decides the rows.
Fingerprint
fingerprint(const KeyInputs& inputs);

/// The paths of the shared objects loaded into this process whose file
/// names start with one of `prefixes`, in load order.
std::vector<std::string>
loaded_libraries(const std::vector<std::string>& prefixes);

} // namespace quillon::catalogue
