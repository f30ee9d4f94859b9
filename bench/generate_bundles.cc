// Writes N synthetic LV2 bundles for the benchmark: varied names, classes,
// authors, audio, MIDI and control ports, and presets for every tenth
// plugin.
//
//   generate_bundles N DIRECTORY

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* const words[] = { "Warm",   "Bright", "Tape",  "Vintage", "Stereo",
                              "Mono",   "Deep",   "Space", "Crystal", "Dark",
                              "Smooth", "Punch",  "Air",   "Glass",   "Tube" };
const char* const kinds[] = { "Reverb", "Delay",   "Compressor", "Equalizer",
                              "Chorus", "Phaser",  "Limiter",    "Gate",
                              "Synth",  "Sampler", "Distortion", "Filter" };
const char* const classes[] = {
  "ReverbPlugin",     "DelayPlugin",      "CompressorPlugin", "EQPlugin",
  "ChorusPlugin",     "PhaserPlugin",     "LimiterPlugin",    "GatePlugin",
  "InstrumentPlugin", "InstrumentPlugin", "DistortionPlugin", "FilterPlugin"
};
const char* const prefixes =
  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
  "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
  "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
  "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
  "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n";

std::string
port(int index, const std::string& classes_text, const std::string& extra)
{
  const std::string n = std::to_string(index);
  return "  lv2:port [ a " + classes_text + " ; lv2:index " + n +
         " ; lv2:symbol \"p" + n + "\" ; lv2:name \"Port " + n + "\"" + extra +
         " ] ;\n";
}

} // namespace

int
main(int argc, char** argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s N DIRECTORY\n", argv[0]);
    return 2;
  }
  const int count = std::atoi(argv[1]);
  const fs::path top = argv[2];
  fs::create_directories(top);
  if (!fs::exists(top / "core.lv2"))
    fs::create_directory_symlink("/usr/lib/lv2/core.lv2", top / "core.lv2");

  for (int i = 0; i < count; ++i) {
    const std::string id = std::to_string(i);
    const std::string uri = "urn:quillon-bench:plugin" + id;
    const int kind = (i * 7) % 12;
    const std::string name = std::string(words[i % 15]) + " " +
                             words[(i / 15) % 15] + " " + kinds[kind] + " " +
                             id + (i % 4 == 0 ? " - Extended Edition" : "");
    const fs::path bundle = top / ("bench" + id + ".lv2");
    fs::create_directories(bundle);
    const bool has_presets = i % 10 == 0;

    std::ofstream manifest(bundle / "manifest.ttl");
    manifest << prefixes << "<" << uri
             << "> a lv2:Plugin ; rdfs:seeAlso <plugin.ttl> .\n";
    if (has_presets)
      for (int p = 0; p < 2; ++p)
        manifest << "<" << uri << "#preset" << p
                 << "> a pset:Preset ; lv2:appliesTo <" << uri
                 << "> ; rdfs:seeAlso <presets.ttl> .\n";

    std::ofstream plugin(bundle / "plugin.ttl");
    plugin << prefixes << "<" << uri << "> a lv2:Plugin, lv2:" << classes[kind]
           << " ;\n  doap:name \"" << name << "\" ;\n";
    if (i % 3 != 0)
      plugin << "  doap:maintainer [ foaf:name \"Author " << (i % 97)
             << "\" ] ;\n";
    int index = 0;
    const bool instrument = kind == 8 || kind == 9;
    if (instrument)
      plugin << port(index++,
                     "atom:AtomPort, lv2:InputPort",
                     " ; atom:bufferType atom:Sequence ; "
                     "atom:supports midi:MidiEvent");
    else
      for (int c = 0; c < 2; ++c)
        plugin << port(index++, "lv2:AudioPort, lv2:InputPort", "");
    for (int c = 0; c < 2; ++c)
      plugin << port(index++, "lv2:AudioPort, lv2:OutputPort", "");
    for (int c = 0; c < 4; ++c)
      plugin << port(index++,
                     "lv2:ControlPort, lv2:InputPort",
                     " ; lv2:default 0.5 ; lv2:minimum 0 ; lv2:maximum 1");
    plugin << "  lv2:optionalFeature lv2:hardRTCapable .\n";

    if (has_presets) {
      std::ofstream presets(bundle / "presets.ttl");
      presets << prefixes;
      for (int p = 0; p < 2; ++p)
        presets << "<" << uri << "#preset" << p
                << "> a pset:Preset ; lv2:appliesTo <" << uri
                << "> ; rdfs:label \"Preset " << p
                << "\" ; lv2:port [ lv2:symbol \"p" << (index - 1)
                << "\" ; pset:value 0." << (p + 2) << " ] .\n";
    }
  }
  return 0;
}
