// The texts of the plugin list made from plugin data of any bytes: the
// input holds the name, class label, URI, search text and (when present)
// author, separated by NUL bytes, as C strings from lilv would end there.

#include "catalogue/text_rules.h"
#include "common/number_text.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <glib.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace quillon::catalogue;

/// Pieces of the joined text are searched from this many of its first
/// characters; more only repeat the same rule at a quadratic cost.
constexpr std::size_t checked_starts = 64;

std::vector<std::string>
fields_of(const std::uint8_t* data, std::size_t size)
{
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      fields.emplace_back();
    else
      fields.back() += static_cast<char>(data[i]);
  }
  return fields;
}

std::string
field(const std::vector<std::string>& fields, std::size_t index)
{
  return index < fields.size() ? fields[index] : std::string();
}

bool
is_valid(const std::string& bytes)
{
  return g_utf8_validate(bytes.data(), gssize(bytes.size()), nullptr);
}

/// Text from the plugin data as the catalogue makes it.
Glib::ustring
checked_text(const std::string& raw)
{
  const Glib::ustring text = valid_text(raw.c_str());
  FUZZ_CHECK(text.validate());
  FUZZ_CHECK(text.raw().find('\0') == std::string::npos);
  const char* valid_end = nullptr;
  g_utf8_validate(raw.data(), gssize(raw.size()), &valid_end);
  const std::size_t valid_bytes = std::size_t(valid_end - raw.data());
  if (valid_bytes == raw.size()) {
    FUZZ_CHECK(text.raw() == raw);
  } else {
    // The valid start is kept and only the rest is repaired, each bad
    // byte by at most one three-byte replacement character.
    FUZZ_CHECK(text.raw().compare(0, valid_bytes, raw, 0, valid_bytes) == 0);
    FUZZ_CHECK(text.bytes() > valid_bytes);
    FUZZ_CHECK(text.bytes() <= 3 * raw.size());
  }
  return text;
}

void
check_names(const Glib::ustring& name)
{
  const Glib::ustring cut = cut_name(name);
  const std::size_t characters =
    std::size_t(g_utf8_strlen(name.data(), gssize(name.bytes())));
  const std::size_t dash = name.raw().find(" - ");
  if (characters > 25 && dash != std::string::npos)
    FUZZ_CHECK(cut.raw() == name.raw().substr(0, dash));
  else
    FUZZ_CHECK(cut.raw() == name.raw());
  FUZZ_CHECK(cut.validate());

  const Glib::ustring shown = scan_name(name);
  FUZZ_CHECK(shown.raw() == (cut.empty() ? name.raw() : cut.raw()));
  FUZZ_CHECK(shown.empty() == name.empty());
}

/// Typing any part of what the search looks in, in any letter case the
/// lower-casing folds, finds the plugin.
void
check_search(const Glib::ustring& name,
             const Glib::ustring& class_label,
             const Glib::ustring& uri,
             const Glib::ustring& search)
{
  const std::string text = match_text(name, class_label, uri);
  FUZZ_CHECK(is_valid(text));
  FUZZ_CHECK(lowered(text) == text);
  FUZZ_CHECK(search_matches(text, lowered("")));
  FUZZ_CHECK(search_matches(text, lowered(name)));
  FUZZ_CHECK(search_matches(text, lowered(class_label)));
  FUZZ_CHECK(search_matches(text, lowered(uri)));

  const std::string wanted = lowered(search);
  FUZZ_CHECK(is_valid(wanted));
  FUZZ_CHECK(lowered(wanted) == wanted);
  const std::string joined = name.raw() + class_label.raw() + uri.raw();
  if (joined.find(search.raw()) != std::string::npos)
    FUZZ_CHECK(search_matches(text, wanted));
  // Short pieces from the start of the joined text: one to three
  // characters from each of its first characters.
  std::size_t starts = 0;
  for (const gchar* p = joined.c_str(); *p && starts < checked_starts;
       p = quillon::fuzz::next_character(p), ++starts) {
    const gchar* end = p;
    for (int length = 1; length <= 3 && *end; ++length) {
      end = quillon::fuzz::next_character(end);
      FUZZ_CHECK(search_matches(text, lowered(Glib::ustring(p, end))));
    }
  }
}

void
check_tooltip(const Glib::ustring& class_label,
              const std::optional<Glib::ustring>& author,
              const Glib::ustring& port_summary)
{
  const Glib::ustring by = " \nby ";
  const Glib::ustring tip = tooltip_text(class_label, author, by, port_summary);
  FUZZ_CHECK(tip.validate());
  FUZZ_CHECK(tip.raw().compare(0, class_label.bytes(), class_label.raw()) == 0);
  FUZZ_CHECK(tip.bytes() >= port_summary.bytes() &&
             tip.raw().compare(tip.bytes() - port_summary.bytes(),
                               port_summary.bytes(),
                               port_summary.raw()) == 0);
  const std::size_t author_part = author ? by.bytes() + author->bytes() : 0;
  FUZZ_CHECK(tip.bytes() ==
             class_label.bytes() + author_part + port_summary.bytes());
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::vector<std::string> fields = fields_of(data, size);
  const Glib::ustring name = checked_text(field(fields, 0));
  const Glib::ustring class_label = checked_text(field(fields, 1));
  const Glib::ustring uri = checked_text(field(fields, 2));
  const Glib::ustring search = checked_text(field(fields, 3));
  std::optional<Glib::ustring> author;
  if (fields.size() > 4)
    author = checked_text(fields[4]);

  check_names(name);
  check_search(name, class_label, uri, search);

  PortCounts counts;
  counts.audio_inputs = std::uint32_t(name.bytes());
  counts.audio_outputs = std::uint32_t(uri.bytes()) * 65537u;
  counts.midi_inputs = std::uint32_t(size % 3);
  counts.midi_outputs = 0xffffffffu - std::uint32_t(size);
  check_tooltip(class_label, author, port_summary_text(counts));

  const Glib::ustring tray =
    tray_text(int(size), int(fields.size()), "\n" + uri);
  FUZZ_CHECK(tray.validate());
  FUZZ_CHECK(tray.raw().rfind(quillon::number_text(long(size)), 0) == 0);
  FUZZ_CHECK(tray.bytes() > uri.bytes() &&
             tray.raw().compare(
               tray.bytes() - uri.bytes(), uri.bytes(), uri.raw()) == 0);
  return 0;
}
