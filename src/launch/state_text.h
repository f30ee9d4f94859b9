#pragma once

// The text of the preset state file.

#include <string>

namespace quillon::launch {

/// The seven prefix lines the state file begins with.
extern const char* const state_prefixes;

/// Empties the first IRI reference of lilv's state text, so that the state
/// is its own document ("<>") rather than the preset's URI. A text without
/// a "<" before a ">" is returned unchanged.
std::string
empty_first_iri(const std::string& text);

} // namespace quillon::launch
