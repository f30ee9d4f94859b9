#include "launch/preset_lookup.h"

#include "catalogue/text_rules.h"
#include "common/diagnostics.h"
#include "common/lilv_ptr.h"

#include <glib/gi18n.h>
#include <lv2/presets/presets.h>

namespace quillon::launch {

namespace {

std::string
text_of(const LilvNode* node)
{
  const char* text = node ? lilv_node_as_string(node) : nullptr;
  return text ? text : "";
}

} // namespace

std::vector<PresetEntry>
find_presets(LilvWorld* world, const LilvPlugin* plugin)
{
  std::vector<PresetEntry> presets;
  const NodePtr preset_class(lilv_new_uri(world, LV2_PRESETS__Preset));
  const NodePtr label_predicate(
    lilv_new_uri(world, "http://www.w3.org/2000/01/rdf-schema#label"));
  const NodesPtr related(lilv_plugin_get_related(plugin, preset_class.get()));
  if (!related)
    return presets;

  LILV_FOREACH(nodes, i, related.get())
  {
    const LilvNode* preset = lilv_nodes_get(related.get(), i);
    // A failed load is reported by lilv; the labels may still be known.
    lilv_world_load_resource(world, preset);
    const NodesPtr labels(
      lilv_world_find_nodes(world, preset, label_predicate.get(), nullptr));
    if (!labels || lilv_nodes_size(labels.get()) == 0) {
      diagnostic(_("Preset <%s> has no rdfs:label\n"),
                 lilv_node_as_string(preset));
      continue;
    }
    // The label is shown and sorted by the toolkit, so it must be valid
    // UTF-8; the URI must stay as lilv has it, to find the preset again.
    const LilvNode* label = lilv_nodes_get_first(labels.get());
    presets.push_back(
      { catalogue::valid_text(label ? lilv_node_as_string(label) : nullptr)
          .raw(),
        text_of(preset) });
  }
  return presets;
}

} // namespace quillon::launch
