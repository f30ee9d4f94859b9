#pragma once

// The URI map that lilv needs to build and write a preset's state: URIs
// interned as small integers, counted from 1, for the life of the table.

#include <deque>
#include <lv2/urid/urid.h>
#include <string>

namespace quillon::launch {

class UridTable
{
public:
  /// The id of `uri`, appending it when new; 0 when it cannot be stored.
  LV2_URID map(const char* uri);
  /// The text of `id`, or null for 0 and ids never handed out. The text
  /// stays put while the table grows.
  const char* unmap(LV2_URID id) const;

  std::size_t size() const { return entries.size(); }
  /// Forgets every entry; ids start again from 1.
  void clear();

private:
  // A deque never moves its elements when it grows at the end, so the
  // texts handed out by unmap stay valid.
  std::deque<std::string> entries;
};

/// The one table of the process.
UridTable&
urid_table();

/// The map and unmap functions of the URID features; the handle is unused.
LV2_URID
urid_map(LV2_URID_Map_Handle handle, const char* uri);
const char*
urid_unmap(LV2_URID_Unmap_Handle handle, LV2_URID id);

} // namespace quillon::launch
