#include "catalogue/cached_scan.h"

#include "catalogue/cache_file.h"

#include <cstdlib>
#include <memory>

namespace quillon::catalogue {

namespace {

/// lilv's libraries: what they read from the same files may differ after
/// an update. The program itself, for its own rules.
std::vector<std::string>
program_files()
{
  std::vector<std::string> files = loaded_libraries(
    { "liblilv-", "libserd-", "libsord-", "libsratom-", "libzix-" });
  files.emplace_back("/proc/self/exe");
  return files;
}

bool
under(const std::string& path, const std::vector<std::string>& directories)
{
  for (const auto& directory : directories) {
    std::size_t length = directory.size();
    while (length > 0 && directory[length - 1] == '/')
      --length;
    if (path.size() > length &&
        path.compare(0, length, directory, 0, length) == 0 &&
        path[length] == '/')
      return true;
  }
  return false;
}

struct LilvFree
{
  void operator()(char* text) const { lilv_free(text); }
};

bool
file_under(const LilvNode* uri, const std::vector<std::string>& directories)
{
  if (!uri || !lilv_node_is_uri(uri))
    return false;
  const std::unique_ptr<char, LilvFree> path(
    lilv_file_uri_parse(lilv_node_as_uri(uri), nullptr));
  return path && under(path.get(), directories);
}

} // namespace

bool
within_directories(const LilvPlugins* plugins,
                   const std::vector<std::string>& directories)
{
  LILV_FOREACH(plugins, i, plugins)
  {
    const LilvPlugin* plugin = lilv_plugins_get(plugins, i);
    if (!file_under(lilv_plugin_get_bundle_uri(plugin), directories))
      return false;
    const LilvNodes* data = lilv_plugin_get_data_uris(plugin);
    LILV_FOREACH(nodes, j, data)
    {
      if (!file_under(lilv_nodes_get(data, j), directories))
        return false;
    }
  }
  return true;
}

CachedScan::CachedScan(const char* search_path)
  : directory(cache_directory())
  , directories(
      search_directories(search_path ? search_path : default_walk_path(),
                         [](const char* name) { return std::getenv(name); }))
{
  KeyInputs inputs;
  inputs.search_path = search_path ? search_path : "";
  inputs.directories = directories;
  if (const char* lang = std::getenv("LANG"))
    inputs.lang = lang;
  inputs.lilv_version = QUILLON_LILV_VERSION;
  inputs.program_files = program_files();
  print = fingerprint(inputs);
}

bool
CachedScan::fill(Index& index,
                 LilvWorld* world,
                 const LilvPlugins* plugins) const
{
  bool blocked = false;
  if (auto records = read_cache(directory, print.key, blocked))
    if (index.restore(plugins, std::move(*records)))
      return true;
  // A cache is kept only when the walk saw every file the rows are read
  // from, and saw each of them settled; and not tried where a directory
  // stands in its place, which was reported already.
  if (blocked || !print.settled || !within_directories(plugins, directories)) {
    index.build(world, plugins);
    return false;
  }
  CacheWriter writer(directory, print.key);
  index.build(world, plugins, [&writer](const PluginRecord& record) {
    writer.add(record);
  });
  writer.commit();
  return false;
}

} // namespace quillon::catalogue
