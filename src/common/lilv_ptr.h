#pragma once

#include <lilv/lilv.h>
#include <memory>

namespace quillon {

// Owners for the lilv objects whose results the caller must free.

struct WorldFree
{
  void operator()(LilvWorld* world) const { lilv_world_free(world); }
};
struct NodeFree
{
  void operator()(LilvNode* node) const { lilv_node_free(node); }
};
struct NodesFree
{
  void operator()(LilvNodes* nodes) const { lilv_nodes_free(nodes); }
};
struct StateFree
{
  void operator()(LilvState* state) const { lilv_state_free(state); }
};

using WorldPtr = std::unique_ptr<LilvWorld, WorldFree>;
using NodePtr = std::unique_ptr<LilvNode, NodeFree>;
using NodesPtr = std::unique_ptr<LilvNodes, NodesFree>;
using StatePtr = std::unique_ptr<LilvState, StateFree>;

} // namespace quillon
