#include "catalogue/port_summary.h"

#include "app/plugin_list.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>

namespace quillon {
namespace catalogue {

PortClasses::PortClasses(LilvWorld* world)
  : audio_port(lilv_new_uri(world, LV2_CORE__AudioPort))
  , input_port(lilv_new_uri(world, LV2_CORE__InputPort))
  , output_port(lilv_new_uri(world, LV2_CORE__OutputPort))
  , atom_port(lilv_new_uri(world, LV2_ATOM__AtomPort))
  , atom_supports(lilv_new_uri(world, LV2_ATOM__supports))
  , midi_event(lilv_new_uri(world, LV2_MIDI__MidiEvent))
{
}

PortCounts
count_ports(const LilvPlugin* plugin, const PortClasses& classes)
{
  PortCounts counts;
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
