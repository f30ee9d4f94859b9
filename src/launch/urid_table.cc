#include "launch/urid_table.h"

#include <cstring>
#include <new>

namespace quillon::launch {

LV2_URID
UridTable::map(const char* uri)
{
  if (!uri)
    return 0;
  LV2_URID id = 1;
  for (const std::string& entry : entries) {
    if (std::strcmp(entry.c_str(), uri) == 0)
      return id;
    ++id;
  }
  try {
    entries.emplace_back(uri);
  } catch (const std::bad_alloc&) {
    // Called from C inside lilv: 0 tells it the URI could not be mapped.
    return 0;
  }
  return static_cast<LV2_URID>(entries.size());
}

const char*
UridTable::unmap(LV2_URID id) const
{
  if (id == 0 || id > entries.size())
    return nullptr;
  return entries[id - 1].c_str();
}

void
UridTable::clear()
{
  std::deque<std::string>().swap(entries);
}

UridTable&
urid_table()
{
  static UridTable table;
  return table;
}

LV2_URID
urid_map(LV2_URID_Map_Handle, const char* uri)
{
  return urid_table().map(uri);
}

const char*
urid_unmap(LV2_URID_Unmap_Handle, LV2_URID id)
{
  return urid_table().unmap(id);
}

} // namespace quillon::launch
