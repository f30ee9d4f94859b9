#include "catalogue/text_rules.h"

#include "common/number_text.h"

#include <glib/gi18n.h>

namespace quillon::catalogue {

Glib::ustring
valid_text(const char* text)
{
  if (!text)
    return Glib::ustring();
  if (g_utf8_validate(text, -1, nullptr))
    return Glib::ustring(text);
  gchar* made_valid = g_utf8_make_valid(text, -1);
  Glib::ustring result(made_valid);
  g_free(made_valid);
  return result;
}

Glib::ustring
cut_name(const Glib::ustring& name)
{
  Glib::ustring result = name;
  if (result.size() > 25) {
    const auto dash = result.find(" - ");
    if (dash != Glib::ustring::npos)
      result.erase(dash);
  }
  return result;
}

Glib::ustring
scan_name(const Glib::ustring& name)
{
  Glib::ustring result = cut_name(name);
  return result.empty() ? name : result;
}

Glib::ustring
port_summary_text(const PortCounts& counts)
{
  Glib::ustring text;
  const auto line = [&text](const char* label, std::uint32_t count) {
    if (count != 0) {
      text += label;
      text += number_text(count);
    }
  };
  line(_("\nAudio Inputs: "), counts.audio_inputs);
  line(_("\nAudio Outputs: "), counts.audio_outputs);
  line(_("\nMidi Inputs: "), counts.midi_inputs);
  line(_("\nMidi Outputs: "), counts.midi_outputs);
  return text;
}

Glib::ustring
tooltip_text(const Glib::ustring& class_label,
             const std::optional<Glib::ustring>& author,
             const Glib::ustring& by,
             const Glib::ustring& port_summary)
{
  Glib::ustring text = class_label;
  if (author) {
    text += by;
    text += *author;
  }
  text += port_summary;
  return text;
}

Glib::ustring
cut_name_tooltip_text(const Glib::ustring& name, const Glib::ustring& tooltip)
{
  Glib::ustring text = name;
  text += '\n';
  text += tooltip;
  return text;
}

std::string
lowered(const Glib::ustring& text)
{
  gchar* down = g_utf8_strdown(text.data(), text.bytes());
  std::string result(down);
  g_free(down);
  // A capital sigma lowers to final sigma at the end of a word and to
  // sigma elsewhere, so a name lowered alone ("ηχος") would differ from the
  // same name lowered with the class label joined after it ("ηχοσdelay"),
  // and searching for it would miss the plugin. Both forms are one letter
  // to the search: final sigma becomes sigma. The lead byte of U+03C2
  // never occurs inside another character, so the byte search is exact.
  static constexpr char final_sigma[] = "\xcf\x82";
  for (auto at = result.find(final_sigma); at != std::string::npos;
       at = result.find(final_sigma, at + 2))
    result[at + 1] = '\x83';
  return result;
}

std::string
match_text(const Glib::ustring& name,
           const Glib::ustring& class_label,
           const Glib::ustring& uri)
{
  return lowered(name + class_label + uri);
}

bool
search_matches(const std::string& lowered_match_text,
               const std::string& lowered_search_text)
{
  // Both texts are valid UTF-8, so a byte match always starts on a
  // character boundary: this finds exactly what a character search finds.
  return lowered_match_text.find(lowered_search_text) != std::string::npos;
}

Glib::ustring
tray_text(int valid_count, int invalid_count, const Glib::ustring& invalid_uris)
{
  Glib::ustring text = number_text(valid_count);
  text += _(" valid plugins installed\n");
  text += number_text(invalid_count);
  text += _(" invalid plugins found");
  text += invalid_uris;
  return text;
}

std::string
collation_key(const Glib::ustring& text)
{
  gchar* key = g_utf8_collate_key(text.data(), text.bytes());
  std::string result(key);
  g_free(key);
  return result;
}

} // namespace quillon::catalogue
