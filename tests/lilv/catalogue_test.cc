// The catalogue read from tiny fixture bundles through lilv.

#include "catalogue/lv2_path.h"
#include "catalogue/plugin_index.h"
#include "catalogue/port_summary.h"
#include "common/lilv_ptr.h"
#include "support/lv2_fixture.h"
#include "support/ustring_printer.h"

#include <gtest/gtest.h>
#include <map>

namespace quillon::catalogue {
namespace {

using test::port;

class CatalogueTest : public ::testing::Test
{
protected:
  /// Loads the fixture into a fresh world and indexes it by URI.
  std::map<std::string, PluginEntry> load()
  {
    world.reset(lilv_world_new());
    lilv_world_load_all(world.get());
    index.build(world.get(), lilv_world_get_all_plugins(world.get()));
    std::map<std::string, PluginEntry> by_uri;
    for (const auto& entry : index.entries())
      by_uri[entry.uri] = entry;
    return by_uri;
  }

  PortCounts counts_of(const std::string& uri)
  {
    const PortClasses classes(world.get());
    for (const auto& entry : index.entries())
      if (entry.uri == uri)
        return count_ports(entry.plugin, classes);
    ADD_FAILURE() << "no plugin " << uri;
    return {};
  }

  test::Lv2Fixture fixture;
  WorldPtr world;
  Index index;
};

TEST_F(CatalogueTest, CountsAudioAndMidiPortsByDirection)
{
  fixture.add_simple_plugin("stereo",
                            "urn:q:stereo",
                            "Stereo",
                            "lv2:DelayPlugin",
                            port(0, "lv2:AudioPort, lv2:InputPort") + " ; " +
                              port(1, "lv2:AudioPort, lv2:InputPort") + " ; " +
                              port(2, "lv2:AudioPort, lv2:OutputPort") + " ; " +
                              port(3, "lv2:AudioPort, lv2:OutputPort") + " ; " +
                              port(4, "lv2:ControlPort, lv2:InputPort"));
  fixture.add_simple_plugin(
    "synth",
    "urn:q:synth",
    "Synth",
    "lv2:InstrumentPlugin",
    port(0,
         "atom:AtomPort, lv2:InputPort",
         "atom:bufferType atom:Sequence ; atom:supports midi:MidiEvent") +
      " ; " + port(1, "lv2:AudioPort, lv2:OutputPort") + " ; " +
      port(2, "lv2:AudioPort, lv2:OutputPort"));
  fixture.add_simple_plugin(
    "odd",
    "urn:q:odd",
    "Odd",
    "lv2:UtilityPlugin",
    port(0,
         "atom:AtomPort, lv2:InputPort, lv2:OutputPort",
         "atom:supports midi:MidiEvent") +
      " ; " +
      port(1,
           "atom:AtomPort, lv2:InputPort",
           "atom:supports <http://lv2plug.in/ns/ext/time#Position>") +
      " ; " +
      port(2,
           "ev:EventPort, lv2:InputPort",
           "ev:supportsEvent <http://lv2plug.in/ns/ext/midi#MidiEvent>") +
      " ; " + port(3, "lv2:AudioPort") + " ; " +
      port(4, "lv2:CVPort, lv2:InputPort"));
  const auto plugins = load();
  ASSERT_EQ(plugins.size(), 3u);

  const PortCounts stereo = counts_of("urn:q:stereo");
  EXPECT_EQ(stereo.audio_inputs, 2u);
  EXPECT_EQ(stereo.audio_outputs, 2u);
  EXPECT_EQ(plugins.at("urn:q:stereo").tooltip,
            "Delay Plugin\nAudio Inputs: 2\nAudio Outputs: 2");

  EXPECT_EQ(plugins.at("urn:q:synth").tooltip,
            "Instrument Plugin\nAudio Outputs: 2\nMidi Inputs: 1");

  // Both directions count once each; a non-MIDI atom port, an event port
  // and a CV port do not count; an audio port without direction is an
  // output.
  const PortCounts odd = counts_of("urn:q:odd");
  EXPECT_EQ(odd.midi_inputs, 1u);
  EXPECT_EQ(odd.midi_outputs, 1u);
  EXPECT_EQ(odd.audio_inputs, 0u);
  EXPECT_EQ(odd.audio_outputs, 1u);
}

TEST_F(CatalogueTest, PortCountsAgreeWithLilvsOwnPortObjects)
{
  // Every plugin has an audio input, a MIDI input and one output port whose
  // description is plain or odd in one way. Odd data must count as lilv's
  // own port objects count it, which may mean not at all.
  const auto output = [](const std::string& text) {
    return "lv2:port [ a lv2:AudioPort, lv2:OutputPort ; " + text + " ]";
  };
  const std::map<std::string, std::string> outputs = {
    { "plain", output("lv2:index 2 ; lv2:symbol \"out_2\"") },
    { "tagged", output("lv2:index 2 ; lv2:symbol \"out\"@en") },
    { "digitfirst", output("lv2:index 2 ; lv2:symbol \"2out\"") },
    { "emptysymbol", output("lv2:index 2 ; lv2:symbol \"\"") },
    { "dash", output("lv2:index 2 ; lv2:symbol \"out-2\"") },
    { "twosymbols", output("lv2:index 2 ; lv2:symbol \"a\", \"b\"") },
    { "badsymbolfirst", output("lv2:index 2 ; lv2:symbol \"9\", \"a\"") },
    { "translated", output("lv2:index 2 ; lv2:symbol \"out\", \"aus\"@de") },
    { "numbersymbol", output("lv2:index 2 ; lv2:symbol 7") },
    { "nosymbol", output("lv2:index 2") },
    { "noindex", output("lv2:symbol \"out\"") },
    { "textindex", output("lv2:index \"2\" ; lv2:symbol \"out\"") },
    { "xsdint", output("lv2:index \"2\"^^xsd:int ; lv2:symbol \"out\"") },
    { "decimal", output("lv2:index 2.0 ; lv2:symbol \"out\"") },
    { "twoindices", output("lv2:index 2, 1 ; lv2:symbol \"out\"") },
    { "repeated", output("lv2:index 1 ; lv2:symbol \"out\"") },
    { "gap", output("lv2:index 3 ; lv2:symbol \"out\"") },
    { "blanktype", output("a [] ; lv2:index 2 ; lv2:symbol \"out\"") },
    { "literaltype", output("a \"x\" ; lv2:index 2 ; lv2:symbol \"out\"") },
    { "literalport", "lv2:port \"out\"" },
    { "named",
      "lv2:port <urn:q:named#out> . <urn:q:named#out> a lv2:AudioPort, "
      "lv2:OutputPort ; lv2:index 2 ; lv2:symbol \"out\"" },
  };
  for (const auto& [name, text] : outputs)
    fixture.add_simple_plugin(name,
                              "urn:q:" + name,
                              name,
                              "lv2:DelayPlugin",
                              port(0, "lv2:AudioPort, lv2:InputPort") + " ; " +
                                port(1,
                                     "atom:AtomPort, lv2:InputPort",
                                     "atom:supports midi:MidiEvent") +
                                " ; " + text);
  const auto plugins = load();
  ASSERT_EQ(plugins.size(), outputs.size());

  // The reference: lilv's port objects, loaded in a world of their own.
  const WorldPtr reference(lilv_world_new());
  lilv_world_load_all(reference.get());
  const PortClasses reference_classes(reference.get());
  const LilvPlugins* all = lilv_world_get_all_plugins(reference.get());
  LILV_FOREACH(plugins, i, all)
  {
    const LilvPlugin* plugin = lilv_plugins_get(all, i);
    const std::string uri = lilv_node_as_uri(lilv_plugin_get_uri(plugin));
    EXPECT_EQ(port_summary_text(counts_of(uri)),
              port_summary_text(count_loaded_ports(plugin, reference_classes)))
      << uri;
  }
  // Plain data still counts, whether the port is a blank node or named.
  EXPECT_EQ(plugins.at("urn:q:plain").tooltip,
            "Delay Plugin\nAudio Inputs: 1\nAudio Outputs: 1\nMidi Inputs: 1");
  EXPECT_EQ(plugins.at("urn:q:named").tooltip,
            plugins.at("urn:q:plain").tooltip);
}

TEST_F(CatalogueTest, AuthorIsPreferredToProject)
{
  fixture.add_plugin("authored",
                     "urn:q:authored",
                     "a lv2:Plugin, lv2:ReverbPlugin ; doap:name \"Room\" ; "
                     "doap:maintainer [ foaf:name \"Jane Doe\" ] ; "
                     "lv2:project <urn:q:project> ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  fixture.add_plugin("project",
                     "urn:q:project-only",
                     "a lv2:Plugin, lv2:ReverbPlugin ; doap:name \"Hall\" ; "
                     "lv2:project <urn:q:project> ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  fixture.append_manifest("project", "<urn:q:project> a doap:Project .");
  const auto plugins = load();
  EXPECT_EQ(plugins.at("urn:q:authored").tooltip,
            "Reverb Plugin \nby Jane Doe");
  EXPECT_EQ(plugins.at("urn:q:project-only").tooltip,
            "Reverb Plugin \nby urn:q:project");
}

TEST_F(CatalogueTest, NamelessAndOddNamesAreSafe)
{
  fixture.add_plugin("nameless",
                     "urn:q:nameless",
                     "a lv2:Plugin ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  fixture.add_plugin("numeric",
                     "urn:q:numeric",
                     "a lv2:Plugin ; doap:name 42 ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  fixture.add_plugin("surrogate",
                     "urn:q:surrogate",
                     "a lv2:Plugin ; doap:name \"Bad \\uD800 name\" ; " +
                       port(0, "lv2:ControlPort, lv2:InputPort"));
  fixture.add_simple_plugin("good", "urn:q:good", "Good");
  // A bundle with a syntax error: lilv reports it, the others still list.
  fixture.write("broken",
                "manifest.ttl",
                std::string(test::turtle_prefixes) +
                  "<urn:q:broken> a lv2:Plugin ; rdfs:seeAlso <broken.ttl> "
                  "this is not turtle\n");
  const auto plugins = load();
  EXPECT_FALSE(plugins.at("urn:q:nameless").named);
  EXPECT_FALSE(plugins.at("urn:q:numeric").named);
  EXPECT_TRUE(plugins.at("urn:q:good").named);
  const PluginEntry& odd = plugins.at("urn:q:surrogate");
  EXPECT_TRUE(odd.named);
  EXPECT_TRUE(odd.name.validate());
  EXPECT_TRUE(odd.tooltip.validate());
}

TEST_F(CatalogueTest, RanksFollowTheCollationOfShownNames)
{
  fixture.add_simple_plugin("b", "urn:q:b", "beta");
  fixture.add_simple_plugin("a", "urn:q:a", "Alpha");
  fixture.add_simple_plugin("c", "urn:q:c", "gamma");
  fixture.add_simple_plugin(
    "d", "urn:q:d", " - a name that is longer than the limit");
  const auto plugins = load();
  const auto& alpha = plugins.at("urn:q:a");
  const auto& beta = plugins.at("urn:q:b");
  const auto& gamma = plugins.at("urn:q:c");
  const auto& dash = plugins.at("urn:q:d");
  EXPECT_LT(alpha.name_rank, beta.name_rank);
  EXPECT_LT(beta.name_rank, gamma.name_rank);
  // The view shows the empty cut name, the scan the whole one.
  EXPECT_EQ(dash.name, "");
  EXPECT_LT(dash.name_rank, alpha.name_rank);
  EXPECT_EQ(dash.scan_name, " - a name that is longer than the limit");
  EXPECT_EQ(index.find(alpha.plugin)->uri, "urn:q:a");
}

TEST(Lv2Path, RelativeDirectoriesAreMadeAbsolute)
{
  EXPECT_EQ(absolute_lv2_path("lv2", "/home/u"), "/home/u/lv2");
  EXPECT_EQ(absolute_lv2_path("./a:/usr/lib/lv2:b/c", "/w/"),
            "/w/./a:/usr/lib/lv2:/w/b/c");
  // Empty entries and what lilv expands itself stay as written.
  EXPECT_EQ(absolute_lv2_path(":x::~/.lv2:$HOME/lv2", "/w"),
            ":/w/x::~/.lv2:$HOME/lv2");
  // Nothing to change: lilv gets the environment's path as it is.
  EXPECT_EQ(absolute_lv2_path(nullptr, "/w"), std::nullopt);
  EXPECT_EQ(absolute_lv2_path("", "/w"), std::nullopt);
  EXPECT_EQ(absolute_lv2_path("/usr/lib/lv2:~/.lv2", "/w"), std::nullopt);
  EXPECT_EQ(absolute_lv2_path("lv2", ""), std::nullopt);
}

} // namespace
} // namespace quillon::catalogue
