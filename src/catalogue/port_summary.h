#pragma once

#include "catalogue/text_rules.h"
#include "common/lilv_ptr.h"

#include <lilv/lilv.h>

namespace quillon::catalogue {

/// The lilv nodes that find and classify ports, made on one world.
struct PortClasses
{
  explicit PortClasses(LilvWorld* world);

  LilvWorld* world;
  NodePtr port;
  NodePtr index;
  NodePtr symbol;
  NodePtr type;
  NodePtr no;
  NodePtr yes;
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
///
/// Well-formed port data is counted by asking the world directly, so lilv
/// never builds its port objects (they would hold about 2.5 kB per plugin
/// for as long as the world lives); anything unusual is left to lilv's own
/// port loading, whose answers and messages are the reference.
PortCounts
count_ports(const LilvPlugin* plugin, const PortClasses& classes);

/// Counts through lilv's port objects, making lilv load them: the reference
/// for port data out of the ordinary, with lilv's own messages about it.
/// Unsafe for a plugin with a port index out of range.
PortCounts
count_loaded_ports(const LilvPlugin* plugin, const PortClasses& classes);

} // namespace quillon::catalogue
