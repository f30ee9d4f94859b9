// The labelled presets of a plugin, read from fixture bundles.

#include "common/lilv_ptr.h"
#include "launch/preset_lookup.h"
#include "support/lv2_fixture.h"
#include "support/stderr_capture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillon::launch {
namespace {

/// Turtle for one preset of `plugin` with an optional label.
std::string
preset(const std::string& uri,
       const std::string& plugin,
       const std::string& label)
{
  return "<" + uri + "> a pset:Preset ; lv2:appliesTo <" + plugin + ">" +
         (label.empty() ? "" : " ; rdfs:label \"" + label + "\"") +
         " ; lv2:port [ lv2:symbol \"p0\" ; pset:value 0.25 ] .\n";
}

class PresetLookupTest : public ::testing::Test
{
protected:
  /// A plugin with presets in its own bundle: the manifest names them, the
  /// labels lie in a separate file that lilv loads on demand.
  void add_presets(const std::string& bundle,
                   const std::string& plugin,
                   const std::vector<std::pair<std::string, std::string>>& ps)
  {
    fixture.add_simple_plugin(bundle, plugin, bundle);
    std::string body = test::turtle_prefixes;
    for (const auto& [uri, label] : ps) {
      fixture.append_manifest(bundle,
                              "<" + uri +
                                "> a pset:Preset ; "
                                "lv2:appliesTo <" +
                                plugin +
                                "> ; "
                                "rdfs:seeAlso <presets.ttl> .");
      body += preset(uri, plugin, label);
    }
    fixture.write(bundle, "presets.ttl", body);
  }

  const LilvPlugin* load(const std::string& uri)
  {
    world.reset(lilv_world_new());
    lilv_world_load_all(world.get());
    const NodePtr node(lilv_new_uri(world.get(), uri.c_str()));
    return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world.get()),
                                   node.get());
  }

  static std::vector<std::string> labels(const std::vector<PresetEntry>& ps)
  {
    std::vector<std::string> result;
    for (const auto& p : ps)
      result.push_back(p.label);
    std::sort(result.begin(), result.end());
    return result;
  }

  test::Lv2Fixture fixture;
  WorldPtr world;
};

TEST_F(PresetLookupTest, LabelledPresetsWithTheirUris)
{
  add_presets("amp",
              "urn:q:amp",
              { { "urn:q:amp#warm", "Warm" },
                { "urn:q:amp#bright", "Bright" },
                { "urn:q:amp#clean", "Clean" },
                { "urn:q:amp#twin", "Clean" },
                { "urn:q:amp#mnemonic", "Hall_Large" } });
  add_presets("other", "urn:q:other", { { "urn:q:other#solo", "Solo" } });
  const LilvPlugin* amp = load("urn:q:amp");
  ASSERT_NE(amp, nullptr);

  const auto found = find_presets(world.get(), amp);
  EXPECT_EQ(labels(found),
            (std::vector<std::string>{
              "Bright", "Clean", "Clean", "Hall_Large", "Warm" }));
  for (const auto& p : found) {
    if (p.label == "Warm") {
      EXPECT_EQ(p.uri, "urn:q:amp#warm");
    }
    EXPECT_NE(p.uri, "urn:q:other#solo");
  }

  const LilvPlugin* other = lilv_plugins_get_by_uri(
    lilv_world_get_all_plugins(world.get()),
    NodePtr(lilv_new_uri(world.get(), "urn:q:other")).get());
  EXPECT_EQ(labels(find_presets(world.get(), other)),
            (std::vector<std::string>{ "Solo" }));
  // Asking again loads them afresh and finds the same.
  EXPECT_EQ(find_presets(world.get(), amp).size(), 5u);
}

TEST_F(PresetLookupTest, UnlabelledPresetIsReportedOnceAndLeftOut)
{
  add_presets("amp",
              "urn:q:amp",
              { { "urn:q:amp#nameless", "" }, { "urn:q:amp#warm", "Warm" } });
  const LilvPlugin* amp = load("urn:q:amp");
  ASSERT_NE(amp, nullptr);

  test::StderrCapture capture;
  const auto found = find_presets(world.get(), amp);
  const std::string err = capture.stop();
  EXPECT_EQ(labels(found), (std::vector<std::string>{ "Warm" }));
  EXPECT_EQ(err, "Preset <urn:q:amp#nameless> has no rdfs:label\n");
}

TEST_F(PresetLookupTest, PluginWithoutPresets)
{
  fixture.add_simple_plugin("bare", "urn:q:bare", "Bare");
  const LilvPlugin* bare = load("urn:q:bare");
  ASSERT_NE(bare, nullptr);
  EXPECT_TRUE(find_presets(world.get(), bare).empty());
}

} // namespace
} // namespace quillon::launch
