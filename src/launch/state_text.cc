#include "launch/state_text.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

namespace quillon::launch {

const char* const state_prefixes =
  "@prefix atom: <" LV2_ATOM_PREFIX "> .\n"
  "@prefix lv2: <" LV2_CORE_PREFIX "> .\n"
  "@prefix pset: <" LV2_PRESETS_PREFIX "> .\n"
  "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
  "@prefix state: <" LV2_STATE_PREFIX "> .\n"
  "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n";

std::string
empty_first_iri(const std::string& text)
{
  const std::string::size_type close = text.find('>');
  const std::string::size_type open = text.find('<');
  // Without a "<" ahead of the first ">" there is no IRI to empty, and
  // cutting anyway would eat the text up to its end.
  if (open == std::string::npos || close == std::string::npos || close < open)
    return text;
  std::string result = text;
  result.replace(open, close - open, "<");
  return result;
}

} // namespace quillon::launch
