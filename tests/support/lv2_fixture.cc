#include "support/lv2_fixture.h"

#include "support/files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <glib.h>
#include <stdexcept>

namespace fs = std::filesystem;

namespace quillon::test {

const char* const turtle_prefixes =
  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
  "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
  "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
  "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
  "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
  "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
  "@prefix ev: <http://lv2plug.in/ns/ext/event#> .\n"
  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
  "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
  "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n";

std::string
port(int index, const std::string& classes, const std::string& extra)
{
  const std::string n = std::to_string(index);
  return "lv2:port [ a " + classes + " ; lv2:index " + n + " ; lv2:symbol \"p" +
         n + "\" ; lv2:name \"Port " + n + "\" " +
         (extra.empty() ? "" : "; " + extra) + " ]";
}

Lv2Fixture::Lv2Fixture()
{
  std::string pattern = (fs::temp_directory_path() / "quillon-lv2-XXXXXX");
  if (!g_mkdtemp(pattern.data()))
    throw std::runtime_error("cannot make a fixture directory");
  directory = pattern;
  if (fs::exists("/usr/lib/lv2/core.lv2"))
    fs::create_directory_symlink("/usr/lib/lv2/core.lv2",
                                 fs::path(directory) / "core.lv2");
  if (const char* old = std::getenv("LV2_PATH")) {
    had_lv2_path = true;
    saved_lv2_path = old;
  }
  setenv("LV2_PATH", directory.c_str(), 1);
}

Lv2Fixture::~Lv2Fixture()
{
  std::error_code ignored;
  fs::remove_all(directory, ignored);
  if (had_lv2_path)
    setenv("LV2_PATH", saved_lv2_path.c_str(), 1);
  else
    unsetenv("LV2_PATH");
}

void
Lv2Fixture::write(const std::string& bundle,
                  const std::string& file,
                  const std::string& content)
{
  const fs::path dir = fs::path(directory) / (bundle + ".lv2");
  fs::create_directories(dir);
  write_file(dir / file, content);
}

void
Lv2Fixture::append_manifest(const std::string& bundle,
                            const std::string& turtle)
{
  const fs::path manifest =
    fs::path(directory) / (bundle + ".lv2") / "manifest.ttl";
  const bool fresh = !fs::exists(manifest);
  fs::create_directories(manifest.parent_path());
  std::ofstream out(manifest, std::ios::app | std::ios::binary);
  if (fresh)
    out << turtle_prefixes;
  out << turtle << "\n";
}

void
Lv2Fixture::add_plugin(const std::string& bundle,
                       const std::string& uri,
                       const std::string& body)
{
  append_manifest(
    bundle, "<" + uri + "> a lv2:Plugin ; rdfs:seeAlso <" + bundle + ".ttl> .");
  write(bundle,
        bundle + ".ttl",
        std::string(turtle_prefixes) + "<" + uri + "> " + body + " .\n");
}

void
Lv2Fixture::add_simple_plugin(const std::string& bundle,
                              const std::string& uri,
                              const std::string& name,
                              const std::string& type,
                              const std::string& ports)
{
  std::string body = "a lv2:Plugin, " + type + " ; doap:name \"" + name + "\"";
  body +=
    " ; " + (ports.empty()
               ? port(0, "lv2:ControlPort, lv2:InputPort", "lv2:default 0.5")
               : ports);
  add_plugin(bundle, uri, body);
}

void
Lv2Fixture::remove_bundle(const std::string& bundle)
{
  fs::remove_all(fs::path(directory) / (bundle + ".lv2"));
}

} // namespace quillon::test
