#pragma once

#include "catalogue/lilv_ptr.h"
#include "catalogue/text_rules.h"

#include <lilv/lilv.h>

namespace quillon::catalogue {

/// The lilv nodes that find and classify ports, made on one world.
struct PortClasses
{
  explicit PortClasses(LilvWorld* world);

  LilvWorld* world;
  NodePtr port;
  NodePtr index;
  NodePtr audio_port;
  NodePtr input_port;
  NodePtr output_port;
  NodePtr atom_port;
  NodePtr atom_supports;
  NodePtr midi_event;
};

/// Counts the audio and MIDI inputs and outputs of a plugin. An audio port
/// that is not an input counts as an output; an atom port that supports
/// MIDI events counts as a MIDI input and/or output by its direction.
/// A plugin with a port index outside 0 to its port count less one counts
/// nothing (and is reported): lilv would take its ports apart unsafely.
PortCounts
count_ports(const LilvPlugin* plugin, const PortClasses& classes);

} // namespace quillon::catalogue
