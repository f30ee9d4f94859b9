#pragma once

// The catalogue cache's part in a scan: the key is taken before lilv reads
// any bundle, and after lilv_world_load_all the index is restored from the
// cache when the key matches, or built from lilv and kept for the next one.

#include "catalogue/cache_key.h"
#include "catalogue/plugin_index.h"

#include <lilv/lilv.h>
#include <string>
#include <vector>

namespace quillon::catalogue {

class CachedScan
{
public:
  /// `search_path` as lilv will take it, or null when lilv uses its own.
  explicit CachedScan(const char* search_path);

  /// Fills `index` with the plugins of `world`; true when it came from the
  /// cache, and no plugin data was read.
  bool fill(Index& index, LilvWorld* world, const LilvPlugins* plugins) const;

private:
  std::string directory;
  std::vector<std::string> directories;
  Fingerprint print;
};

/// True when every plugin's bundle and data files lie under one of
/// `directories`: then the walk of the key saw every file lilv reads for the
/// rows. Asks for no plugin data.
bool
within_directories(const LilvPlugins* plugins,
                   const std::vector<std::string>& directories);

} // namespace quillon::catalogue
