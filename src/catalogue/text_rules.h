#pragma once

// The rules that turn plugin data into the texts of the plugin list: the
// shown name, the tooltip, the search match text and the tray summary.
// They need no display and no lilv world.

#include <cstdint>
#include <glibmm/ustring.h>
#include <optional>
#include <string>

namespace quillon::catalogue {

/// Text from a C string that may be null or not valid UTF-8: null gives the
/// empty text, invalid sequences are replaced so that every later ustring
/// operation is safe.
Glib::ustring
valid_text(const char* text);

/// The name rule: a name longer than 25 characters is cut at its first
/// " - " (which goes too). Shorter names and names without " - " stay whole.
Glib::ustring
cut_name(const Glib::ustring& name);

/// The name the scan shows: the cut name, or the whole name when the cut
/// left nothing.
Glib::ustring
scan_name(const Glib::ustring& name);

struct PortCounts
{
  std::uint32_t audio_inputs = 0;
  std::uint32_t audio_outputs = 0;
  std::uint32_t midi_inputs = 0;
  std::uint32_t midi_outputs = 0;
};

/// One line (each starting with a line feed) per non-zero count, in the
/// order audio inputs, audio outputs, MIDI inputs, MIDI outputs.
Glib::ustring
port_summary_text(const PortCounts& counts);

/// The tooltip: class label, then " \nby " (translated, passed in as `by`)
/// and the author when there is one, then the port summary.
Glib::ustring
tooltip_text(const Glib::ustring& class_label,
             const std::optional<Glib::ustring>& author,
             const Glib::ustring& by,
             const Glib::ustring& port_summary);

/// The tooltip of a row that shows a cut name: the whole name on a line of
/// its own, then the row's usual tooltip, so that plugins whose names read
/// alike once cut can still be told apart.
Glib::ustring
cut_name_tooltip_text(const Glib::ustring& name, const Glib::ustring& tooltip);

/// What the search looks in: the uncut name, the class label and the URI
/// joined with nothing between them, lower-cased.
std::string
match_text(const Glib::ustring& name,
           const Glib::ustring& class_label,
           const Glib::ustring& uri);

/// True when the search text, lower-cased, occurs in the match text.
bool
search_matches(const std::string& lowered_match_text,
               const std::string& lowered_search_text);

/// Unicode lower-casing of a valid UTF-8 text, with final sigma written as
/// sigma: a letter then lowers alike wherever it stands in a word.
std::string
lowered(const Glib::ustring& text);

/// The tray icon's tooltip after a scan.
Glib::ustring
tray_text(int valid_count,
          int invalid_count,
          const Glib::ustring& invalid_uris);

/// The collation key under which two texts are equal exactly when
/// Glib::ustring::compare gives 0. The text must be valid UTF-8.
std::string
collation_key(const Glib::ustring& text);

} // namespace quillon::catalogue
