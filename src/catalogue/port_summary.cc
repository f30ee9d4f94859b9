#include "catalogue/port_summary.h"

#include "app/diagnostics.h"
#include "app/plugin_list.h"

#include <glib/gi18n.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>

namespace quillon {
namespace catalogue {

PortClasses::PortClasses(LilvWorld* lilv_world)
  : world(lilv_world)
  , port(lilv_new_uri(world, LV2_CORE__port))
  , index(lilv_new_uri(world, LV2_CORE__index))
  , audio_port(lilv_new_uri(world, LV2_CORE__AudioPort))
  , input_port(lilv_new_uri(world, LV2_CORE__InputPort))
  , output_port(lilv_new_uri(world, LV2_CORE__OutputPort))
  , atom_port(lilv_new_uri(world, LV2_ATOM__AtomPort))
  , atom_supports(lilv_new_uri(world, LV2_ATOM__supports))
  , midi_event(lilv_new_uri(world, LV2_MIDI__MidiEvent))
{
}

namespace {

/// lilv sizes a plugin's port table as one past the largest index it
/// reads, in unsigned 32-bit arithmetic, and then walks the table: an index
/// that reads as negative wraps that size and makes lilv write outside the
/// table, and one far beyond the port count makes it allocate and walk a
/// table that large. With `count` lv2:port nodes, ports that lilv can load
/// have every index in 0..count-1 (any other integer leaves a slot empty,
/// and lilv then drops the ports), so nothing is lost by not loading the
/// ports of a plugin with an index outside. Indices that are not integers
/// lilv rejects safely itself.
bool
indices_in_range(const LilvPlugin* plugin, const PortClasses& classes)
{
  const NodesPtr ports(lilv_plugin_get_value(plugin, classes.port.get()));
  if (!ports)
    return true;
  const long long count = lilv_nodes_size(ports.get());
  LILV_FOREACH(nodes, i, ports.get())
  {
    const NodesPtr indices(lilv_world_find_nodes(classes.world,
                                                 lilv_nodes_get(ports.get(), i),
                                                 classes.index.get(),
                                                 nullptr));
    if (!indices)
      continue;
    LILV_FOREACH(nodes, j, indices.get())
    {
      const LilvNode* index = lilv_nodes_get(indices.get(), j);
      // The same conversion as lilv's own reading of the index.
      if (lilv_node_is_int(index) &&
          (lilv_node_as_int(index) < 0 || lilv_node_as_int(index) >= count))
        return false;
    }
  }
  return true;
}

} // namespace

PortCounts
count_ports(const LilvPlugin* plugin, const PortClasses& classes)
{
  PortCounts counts;
  if (!indices_in_range(plugin, classes)) {
    diagnostic(_("Plugin <%s> has a port index out of range: its ports are "
                 "not counted\n"),
               lilv_node_as_string(lilv_plugin_get_uri(plugin)));
    return counts;
  }
  const std::uint32_t port_count = lilv_plugin_get_num_ports(plugin);
  for (std::uint32_t index = 0; index < port_count; ++index) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
    if (lilv_port_is_a(plugin, port, classes.audio_port.get())) {
      if (lilv_port_is_a(plugin, port, classes.input_port.get()))
        ++counts.audio_inputs;
      else
        ++counts.audio_outputs;
    } else if (lilv_port_is_a(plugin, port, classes.atom_port.get())) {
      const NodesPtr supported(
        lilv_port_get_value(plugin, port, classes.atom_supports.get()));
      if (supported &&
          lilv_nodes_contains(supported.get(), classes.midi_event.get())) {
        if (lilv_port_is_a(plugin, port, classes.input_port.get()))
          ++counts.midi_inputs;
        if (lilv_port_is_a(plugin, port, classes.output_port.get()))
          ++counts.midi_outputs;
      }
    }
  }
  return counts;
}

} // namespace catalogue

void
LV2PluginList::append_port_summary(Glib::ustring& text,
                                   const LilvPlugin* plugin)
{
  const catalogue::PortClasses classes(world.get());
  text += catalogue::port_summary_text(catalogue::count_ports(plugin, classes));
}

} // namespace quillon
