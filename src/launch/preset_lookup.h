#pragma once

// The labelled presets of one plugin, as lilv knows them.

#include <lilv/lilv.h>
#include <string>
#include <vector>

namespace quillon::launch {

struct PresetEntry
{
  std::string label;
  std::string uri;
};

/// Loads every preset of `plugin` into `world` afresh and returns those
/// with an rdfs:label, in lilv's order, each with its first label (made
/// valid UTF-8) and lilv's exact URI. A preset without a label is reported
/// on standard error and left out.
std::vector<PresetEntry>
find_presets(LilvWorld* world, const LilvPlugin* plugin);

} // namespace quillon::launch
