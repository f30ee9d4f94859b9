// Bundles that lilv loads but that no careful vendor would ship: huge port
// lists, port indices out of range, broken and duplicate bundles and
// symbolic-link loops. The window must open over them, list what can be
// listed with the right tooltips, and never crash or stall.

#include "support/files.h"
#include "support/main_loop.h"
#include "support/menu_probe.h"
#include "support/ustring_printer.h"
#include "support/window_fixture.h"
#include "support/window_peer.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <vector>

namespace quillon {
namespace {

namespace fs = std::filesystem;

using Names = std::vector<std::string>;
using test::port;

const std::string control_port = port(0, "lv2:ControlPort, lv2:InputPort");

class HostileBundles : public test::WindowFixture
{
protected:
  std::string name_of(const std::string& uri) const
  {
    const Names all_uris = uris();
    const auto found = std::find(all_uris.begin(), all_uris.end(), uri);
    if (found == all_uris.end())
      return "";
    return names()[found - all_uris.begin()];
  }
};

TEST_F(HostileBundles, PortCountsOfExtremePlugins)
{
  // Ten thousand ports: 5,000 audio inputs, 3,000 audio outputs, 1,500
  // controls and 500 MIDI inputs, in one data file.
  std::string ports;
  for (int index = 0; index < 10000; ++index) {
    const char* classes = index < 5000   ? "lv2:AudioPort, lv2:InputPort"
                          : index < 8000 ? "lv2:AudioPort, lv2:OutputPort"
                          : index < 9500 ? "lv2:ControlPort, lv2:InputPort"
                                         : "atom:AtomPort, lv2:InputPort";
    ports +=
      (index ? " ; " : "") +
      port(index, classes, index < 9500 ? "" : "atom:supports midi:MidiEvent");
  }
  fixture.add_simple_plugin(
    "wide", "urn:q:wide", "Wide", "lv2:MixerPlugin", ports);
  // Ports that claim both directions count once, as inputs (MIDI ports
  // in both directions are covered by CatalogueTest).
  fixture.add_simple_plugin(
    "both",
    "urn:q:both",
    "Both Ways",
    "lv2:UtilityPlugin",
    port(0, "lv2:AudioPort, lv2:InputPort, lv2:OutputPort") + " ; " +
      port(1, "lv2:ControlPort, lv2:InputPort, lv2:OutputPort") + " ; " +
      port(2, "lv2:AudioPort, lv2:OutputPort"));

  const auto started = std::chrono::steady_clock::now();
  open();
  const std::chrono::duration<double> took =
    std::chrono::steady_clock::now() - started;
  std::cout << "[ timing   ] window over 10,000 ports opened in "
            << took.count() << " s\n";
  RecordProperty("ten_thousand_port_scan_ms",
                 std::to_string(static_cast<int>(took.count() * 1000)));

  EXPECT_EQ(names(), (Names{ "Both Ways", "Wide" }));
  EXPECT_EQ(tooltip_of("urn:q:wide"),
            "Mixer Plugin\nAudio Inputs: 5000\nAudio Outputs: 3000\n"
            "Midi Inputs: 500");
  EXPECT_EQ(tooltip_of("urn:q:both"),
            "Utility Plugin\nAudio Inputs: 1\nAudio Outputs: 1");
  EXPECT_LT(took.count(), 20.0);
}

TEST_F(HostileBundles, PortIndicesOutOfRangeNeitherCrashNorStall)
{
  // lilv sizes its port table by the largest index it reads: a negative or
  // 32-bit-overflowing index made it write out of bounds, and one far
  // beyond the port count made it fill a table of that size. Such a
  // plugin is listed with its ports left uncounted.
  const auto one_port = [](const std::string& index) {
    return "lv2:port [ a lv2:AudioPort, lv2:InputPort ; lv2:symbol \"in\" ; "
           "lv2:name \"In\" ; lv2:index " +
           index + " ]";
  };
  fixture.add_simple_plugin("negative",
                            "urn:q:negative",
                            "Negative",
                            "lv2:DelayPlugin",
                            one_port("-1"));
  fixture.add_simple_plugin("wrapping",
                            "urn:q:wrapping",
                            "Wrapping",
                            "lv2:DelayPlugin",
                            one_port("4294967295"));
  fixture.add_simple_plugin("overflow",
                            "urn:q:overflow",
                            "Overflow",
                            "lv2:DelayPlugin",
                            one_port("4000000000"));
  fixture.add_simple_plugin(
    "far", "urn:q:far", "Far", "lv2:DelayPlugin", one_port("100000000"));
  fixture.add_simple_plugin("gap",
                            "urn:q:gap",
                            "Gap",
                            "lv2:DelayPlugin",
                            one_port("0") + " ; " +
                              port(2, "lv2:AudioPort, lv2:OutputPort"));
  fixture.add_simple_plugin("sound",
                            "urn:q:sound",
                            "Sound",
                            "lv2:DelayPlugin",
                            one_port("0") + " ; " +
                              port(1, "lv2:AudioPort, lv2:OutputPort"));
  const auto started = std::chrono::steady_clock::now();
  open();
  const std::chrono::duration<double> took =
    std::chrono::steady_clock::now() - started;

  EXPECT_EQ(
    names(),
    (Names{ "Far", "Gap", "Negative", "Overflow", "Sound", "Wrapping" }));
  for (const char* uri : { "urn:q:negative",
                           "urn:q:wrapping",
                           "urn:q:overflow",
                           "urn:q:far",
                           "urn:q:gap" })
    EXPECT_EQ(tooltip_of(uri), "Delay Plugin") << uri;
  EXPECT_EQ(tooltip_of("urn:q:sound"),
            "Delay Plugin\nAudio Inputs: 1\nAudio Outputs: 1");
  EXPECT_LT(took.count(), 5.0);
}

TEST_F(HostileBundles, BrokenBundlesLeaveTheOthersListed)
{
  // A manifest with a syntax error after a plugin is covered by
  // CatalogueTest; these are the other ways a bundle comes broken.
  fixture.add_simple_plugin("one", "urn:q:one", "One");
  fixture.add_simple_plugin("two", "urn:q:two", "Two");
  fixture.write("garbled-manifest",
                "manifest.ttl",
                std::string(test::turtle_prefixes) +
                  "this is not turtle .\n<urn:q:lost> a lv2:Plugin ; "
                  "rdfs:seeAlso <lost.ttl> .\n");
  fixture.add_plugin("garbled-data",
                     "urn:q:garbled-data",
                     "a lv2:Plugin ; this is not turtle ; doap:name \"After\"");
  fixture.append_manifest("no-data",
                          "<urn:q:no-data> a lv2:Plugin ; "
                          "rdfs:seeAlso <gone.ttl> .");
  fixture.write("empty", "manifest.ttl", "");
  fixture.write(
    "binary", "manifest.ttl", std::string("\x7f\x45LF\x00\xff\xfe<", 8));
  fixture.write("no-manifest", "other.ttl", "");
  fs::create_directories(fs::path(fixture.path()) / "directory.lv2" /
                         "manifest.ttl");
  test::write_file(fs::path(fixture.path()) / "file.lv2", "not a bundle\n");
  open();

  EXPECT_EQ(names(), (Names{ "One", "Two" }));
  EXPECT_EQ(test::peer(*window).invalid_count, 2);
  EXPECT_TRUE(reported("urn:q:garbled-data"));
  EXPECT_TRUE(reported("urn:q:no-data"));
  test::peer(*window).refresh_button.clicked();
  EXPECT_EQ(names(), (Names{ "One", "Two" }));
}

TEST_F(HostileBundles, OneUriInTwoBundlesGivesOneRow)
{
  // Without versions lilv keeps whichever bundle it reads first: the row
  // must be made of that bundle alone, not of a mixture.
  fixture.add_simple_plugin("first",
                            "urn:q:twice",
                            "First Copy",
                            "lv2:DelayPlugin",
                            port(0, "lv2:AudioPort, lv2:InputPort"));
  fixture.add_simple_plugin("second",
                            "urn:q:twice",
                            "Second Copy",
                            "lv2:ReverbPlugin",
                            port(0, "lv2:AudioPort, lv2:OutputPort") + " ; " +
                              port(1, "lv2:AudioPort, lv2:OutputPort"));
  // With versions in the manifests the newer one wins, whatever the order.
  for (const auto& [bundle, version] :
       { std::pair{ "older", 1 }, std::pair{ "newer", 2 } }) {
    fixture.append_manifest(bundle,
                            "<urn:q:versioned> a lv2:Plugin ; "
                            "lv2:minorVersion " +
                              std::to_string(version) +
                              " ; lv2:microVersion 0 ; "
                              "rdfs:seeAlso <data.ttl> .");
    fixture.write(bundle,
                  "data.ttl",
                  std::string(test::turtle_prefixes) +
                    "<urn:q:versioned> a lv2:Plugin ; doap:name \"" + bundle +
                    "\" ; " + control_port + " .\n");
  }
  open();

  ASSERT_EQ(uris().size(), 2u);
  const std::string twice = name_of("urn:q:twice");
  if (twice == "First Copy") {
    EXPECT_EQ(tooltip_of("urn:q:twice"), "Delay Plugin\nAudio Inputs: 1");
  } else {
    EXPECT_EQ(twice, "Second Copy");
    EXPECT_EQ(tooltip_of("urn:q:twice"), "Reverb Plugin\nAudio Outputs: 2");
  }
  EXPECT_EQ(name_of("urn:q:versioned"), "newer");
  test::peer(*window).refresh_button.clicked();
  EXPECT_EQ(uris().size(), 2u);
}

TEST_F(HostileBundles, SymbolicLinkLoopsEndTheScan)
{
  // A bundle that reaches its own files again through a link to itself:
  // its data and presets are read twice, under two names.
  fixture.append_manifest("looped",
                          "<urn:q:looped> a lv2:Plugin ; "
                          "rdfs:seeAlso <data.ttl>, "
                          "<inner.lv2/data.ttl> .");
  fixture.write("looped",
                "data.ttl",
                std::string(test::turtle_prefixes) +
                  "<urn:q:looped> a lv2:Plugin, lv2:DelayPlugin ; "
                  "doap:name \"Looped\" ; " +
                  port(0, "lv2:AudioPort, lv2:InputPort") + " .\n");
  for (const char* preset : { "warm", "cold" })
    fixture.append_manifest(
      "looped",
      std::string("<urn:q:looped#") + preset +
        "> a pset:Preset ; lv2:appliesTo <urn:q:looped> ; "
        "rdfs:label \"" +
        preset +
        "\" ; rdfs:seeAlso "
        "<manifest.ttl>, <inner.lv2/manifest.ttl> .");
  const fs::path top = fixture.path();
  fs::create_directory_symlink(".", top / "looped.lv2" / "inner.lv2");
  // Links in the plugin directory to itself, to its parent, to themselves,
  // and a manifest that is a link to itself.
  fs::create_directory_symlink(".", top / "self.lv2");
  fs::create_directory_symlink("..", top / "parent.lv2");
  fs::create_symlink("circle.lv2", top / "circle.lv2");
  fs::create_directories(top / "knot.lv2");
  fs::create_symlink("manifest.ttl", top / "knot.lv2" / "manifest.ttl");
  // LV2_PATH names the directory again through the loop.
  setenv("LV2_PATH",
         (top.string() + ":" + (top / "self.lv2").string() + ":" +
          (top / "self.lv2" / "self.lv2" / "looped.lv2" / "inner.lv2").string())
           .c_str(),
         1);
  open();

  EXPECT_EQ(names(), Names{ "Looped" });
  EXPECT_EQ(tooltip_of("urn:q:looped"), "Delay Plugin\nAudio Inputs: 1");
  select("urn:q:looped");
  window->show_launch_menu();
  ASSERT_TRUE(test::pump_until([] { return test::shown_menu() != nullptr; }));
  EXPECT_EQ(test::item_texts(test::shown_menu()),
            (Names{ "Default", "-", "cold", "warm" }));
}

TEST_F(HostileBundles, RelativeSearchPathIsReadFromTheStartingDirectory)
{
  // lilv alone crashes on bundles it finds through a relative directory.
  fixture.add_simple_plugin("here", "urn:q:here", "Here");
  const fs::path top(fixture.path());
  const fs::path saved = fs::current_path();
  fs::current_path(top.parent_path());
  setenv("LV2_PATH", ("./" + top.filename().string()).c_str(), 1);
  open();
  fs::current_path(saved);
  EXPECT_EQ(uris(), Names{ "urn:q:here" });
  EXPECT_EQ(name_of("urn:q:here"), "Here");
}

} // namespace
} // namespace quillon
