#include "catalogue/port_summary.h"

#include "common/diagnostics.h"

#include <glib/gi18n.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <vector>

namespace quillon {
namespace catalogue {

namespace {

constexpr const char* rdf_type =
  "http://www.w3.org/1999/02/22-rdf-syntax-ns#type";

} // namespace

PortClasses::PortClasses(LilvWorld* lilv_world)
  : world(lilv_world)
  , port(lilv_new_uri(world, LV2_CORE__port))
  , index(lilv_new_uri(world, LV2_CORE__index))
  , symbol(lilv_new_uri(world, LV2_CORE__symbol))
  , type(lilv_new_uri(world, rdf_type))
  , no(lilv_new_bool(world, false))
  , yes(lilv_new_bool(world, true))
  , audio_port(lilv_new_uri(world, LV2_CORE__AudioPort))
  , input_port(lilv_new_uri(world, LV2_CORE__InputPort))
  , output_port(lilv_new_uri(world, LV2_CORE__OutputPort))
  , atom_port(lilv_new_uri(world, LV2_ATOM__AtomPort))
  , atom_supports(lilv_new_uri(world, LV2_ATOM__supports))
  , midi_event(lilv_new_uri(world, LV2_MIDI__MidiEvent))
{
}

namespace {

/// A letter or underscore, then letters, digits and underscores: the form
/// every port symbol must have. lilv accepts at least these.
bool
is_plain_symbol(const char* text)
{
  const auto letter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  if (!letter(*text))
    return false;
  for (const char* c = text + 1; *c; ++c)
    if (!letter(*c) && !(*c >= '0' && *c <= '9'))
      return false;
  return true;
}

NodesPtr
values_of(const PortClasses& classes,
          const LilvNode* port,
          const NodePtr& property)
{
  return NodesPtr(
    lilv_world_find_nodes(classes.world, port, property.get(), nullptr));
}

/// lilv's value lists keep one untranslated text among several and drop
/// them all beside other values, while its port loading walks every value.
/// Within this scope the lists hold every value, as that walk sees them.
class AllValues
{
public:
  explicit AllValues(const PortClasses& port_classes)
    : classes(port_classes)
  {
    lilv_world_set_option(
      classes.world, LILV_OPTION_FILTER_LANG, classes.no.get());
  }
  ~AllValues()
  {
    lilv_world_set_option(
      classes.world, LILV_OPTION_FILTER_LANG, classes.yes.get());
  }
  AllValues(const AllValues&) = delete;
  AllValues& operator=(const AllValues&) = delete;

private:
  const PortClasses& classes;
};

bool
is_resource(const LilvNode* node)
{
  return lilv_node_is_uri(node) || lilv_node_is_blank(node);
}

/// What one pass over a plugin's lv2:port nodes found.
struct PortScan
{
  /// Every port is a resource with exactly one integer index, exactly one
  /// symbol of plain form and URI classes only, and the indices number the
  /// ports from 0 without a gap or a repeat. lilv then loads the same ports
  /// without a message, and `counts` are what its port objects would give.
  bool plain = true;
  /// Some integer index lies outside 0..ports-1 (see `count_ports`).
  bool index_out_of_range = false;
  PortCounts counts;
};

void
classify(const LilvNode* port,
         const LilvNodes* types,
         const PortClasses& classes,
         PortCounts& counts)
{
  const auto is_a = [types](const NodePtr& kind) {
    return types && lilv_nodes_contains(types, kind.get());
  };
  if (is_a(classes.audio_port)) {
    if (is_a(classes.input_port))
      ++counts.audio_inputs;
    else
      ++counts.audio_outputs;
  } else if (is_a(classes.atom_port) &&
             lilv_world_ask(classes.world,
                            port,
                            classes.atom_supports.get(),
                            classes.midi_event.get())) {
    if (is_a(classes.input_port))
      ++counts.midi_inputs;
    if (is_a(classes.output_port))
      ++counts.midi_outputs;
  }
}

/// Reads a plugin's ports straight from the world. lilv sizes its port
/// table as one past the largest index it reads, in unsigned 32-bit
/// arithmetic, and then walks the table: an index that reads as negative
/// wraps that size and makes lilv write outside the table, and one far
/// beyond the port count makes it allocate and walk a table that large.
/// With N lv2:port nodes, ports that lilv can load have every index in
/// 0..N-1 (any other integer leaves a slot empty, and lilv then drops the
/// ports), so every index value is checked, whichever one lilv would take.
PortScan
scan_ports(const LilvPlugin* plugin, const PortClasses& classes)
{
  PortScan scan;
  const NodesPtr ports = [&] {
    const AllValues all(classes);
    return NodesPtr(lilv_plugin_get_value(plugin, classes.port.get()));
  }();
  if (!ports)
    return scan;
  const long long count = lilv_nodes_size(ports.get());
  std::vector<bool> seen(std::size_t(count), false);
  LILV_FOREACH(nodes, i, ports.get())
  {
    const LilvNode* port = lilv_nodes_get(ports.get(), i);
    if (!is_resource(port)) {
      scan.plain = false;
      continue;
    }
    // The index and symbol lilv takes are the first of its usual lists.
    const NodesPtr indices(values_of(classes, port, classes.index));
    if (!indices || lilv_nodes_size(indices.get()) != 1)
      scan.plain = false;
    LILV_FOREACH(nodes, j, indices.get())
    {
      const LilvNode* index = lilv_nodes_get(indices.get(), j);
      if (!lilv_node_is_int(index)) {
        scan.plain = false;
        continue;
      }
      // The same conversion as lilv's own reading of the index.
      const long long value = lilv_node_as_int(index);
      if (value < 0 || value >= count) {
        scan.index_out_of_range = true;
      } else if (seen[std::size_t(value)]) {
        scan.plain = false;
      } else {
        seen[std::size_t(value)] = true;
      }
    }
    if (!scan.plain)
      continue; // Only the indices matter now.

    const NodesPtr symbols(values_of(classes, port, classes.symbol));
    if (!symbols || lilv_nodes_size(symbols.get()) != 1 ||
        !lilv_node_is_string(lilv_nodes_get_first(symbols.get())) ||
        !is_plain_symbol(
          lilv_node_as_string(lilv_nodes_get_first(symbols.get())))) {
      scan.plain = false;
      continue;
    }
    const NodesPtr types = [&] {
      const AllValues all(classes);
      return values_of(classes, port, classes.type);
    }();
    LILV_FOREACH(nodes, j, types.get())
    {
      if (!lilv_node_is_uri(lilv_nodes_get(types.get(), j)))
        scan.plain = false; // lilv warns about it.
    }
    if (scan.plain)
      classify(port, types.get(), classes, scan.counts);
  }
  return scan;
}

} // namespace

PortCounts
count_loaded_ports(const LilvPlugin* plugin, const PortClasses& classes)
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

PortCounts
count_ports(const LilvPlugin* plugin, const PortClasses& classes)
{
  const PortScan scan = scan_ports(plugin, classes);
  if (scan.index_out_of_range) {
    diagnostic(_("Plugin <%s> has a port index out of range: its ports are "
                 "not counted\n"),
               lilv_node_as_string(lilv_plugin_get_uri(plugin)));
    return {};
  }
  if (scan.plain)
    return scan.counts;
  return count_loaded_ports(plugin, classes);
}

} // namespace catalogue

} // namespace quillon
