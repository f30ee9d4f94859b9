#pragma once

// The mark list files: one plugin URI per line, "\n" after each. Reading
// splits at line feeds only and keeps everything else (carriage returns,
// blank lines, duplicates, bytes that are not UTF-8), so what is read is
// written back byte for byte.

#include <glibmm/ustring.h>
#include <optional>
#include <string>
#include <vector>

namespace quillon::marks {

/// The entries of a file's bytes. The last line needs no line feed; an
/// empty file has no entries.
std::vector<Glib::ustring>
parse_marks(const std::string& bytes);

/// The bytes of a file holding `entries`.
std::string
format_marks(const std::vector<Glib::ustring>& entries);

/// Whether something (a file, or anything else) stands at `path`.
bool
path_exists(const std::string& path);

/// The bytes of the file at `path`, or nothing with `error` set.
std::optional<std::string>
read_file(const std::string& path, std::string& error);

/// Replaces the file at `path` (through a symbolic link: its target) with
/// `bytes`: written to a temporary file beside it, flushed to disk and then
/// renamed over it, so that a failure at any point leaves the old file
/// whole. Creates the directory (mode 0700, with parents) when missing.
bool
replace_file(const std::string& path,
             const std::string& bytes,
             std::string& error);

/// One mark list file to write: its path and its whole new contents.
struct MarkWrite
{
  std::string path;
  std::string bytes;
};

/// Replaces one mark list file; false, with a diagnostic naming the file
/// and the reason, when it was not saved.
bool
save_mark_file(const MarkWrite& write);

/// Saves each file in order; one that fails is reported and the next is
/// still tried. True when all were saved.
bool
save_mark_files(const std::vector<MarkWrite>& writes);

} // namespace quillon::marks
