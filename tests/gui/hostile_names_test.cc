// Plugin names, authors and class labels that are no text, broken text,
// huge, or full of markup characters. The window must list what has a name,
// report what has none, and show every text as it was written.

#include "support/ustring_printer.h"
#include "support/window_fixture.h"
#include "support/window_peer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillon {
namespace {

using Names = std::vector<std::string>;
using test::port;

const std::string control_port = port(0, "lv2:ControlPort, lv2:InputPort");

class HostileNames : public test::WindowFixture
{};

TEST_F(HostileNames, NamesThatAreNoTextAreReportedNotListed)
{
  // A missing name and a number are covered by WindowTest; these are the
  // other nodes a vendor may put where the name belongs.
  fixture.add_plugin("iri",
                     "urn:q:iri-name",
                     "a lv2:Plugin ; doap:name <urn:q:a-name> ; " +
                       control_port);
  fixture.add_plugin("boolean",
                     "urn:q:boolean-name",
                     "a lv2:Plugin ; doap:name true ; " + control_port);
  fixture.add_plugin("blank",
                     "urn:q:blank-name",
                     "a lv2:Plugin ; doap:name [ foaf:name \"Inner\" ] ; " +
                       control_port);
  // A literal of an unknown type is still text.
  fixture.add_plugin("typed",
                     "urn:q:typed-name",
                     "a lv2:Plugin ; doap:name \"Typed\"^^<urn:q:a-type> ; " +
                       control_port);
  fixture.add_simple_plugin("good", "urn:q:good", "Good");
  open();

  EXPECT_EQ(names(), (Names{ "Good", "Typed" }));
  EXPECT_EQ(test::peer(*window).valid_count, 2);
  EXPECT_EQ(test::peer(*window).invalid_count, 3);
  for (const char* uri :
       { "urn:q:iri-name", "urn:q:boolean-name", "urn:q:blank-name" })
    EXPECT_TRUE(reported(uri)) << uri;
}

TEST_F(HostileNames, BrokenAndHugeNamesBecomeValidRows)
{
  // Turtle escapes of lone UTF-16 halves make bytes that are not UTF-8;
  // a real code point beside them must survive. CatalogueTest checks the
  // catalogue's texts; here the row, the shown tooltip and the search.
  fixture.add_plugin(
    "surrogate",
    "urn:q:surrogate",
    "a lv2:Plugin, lv2:DelayPlugin ; "
    "doap:name \"Lone \\uD800 high \\uDC00 low \\U0001F600 kept\" ; "
    "doap:maintainer [ foaf:name \"Ann \\uDFFF\" ] ; " +
      port(0, "lv2:AudioPort, lv2:InputPort"));
  const std::string huge = "Huge " + std::string(99995, 'x');
  fixture.add_simple_plugin("huge", "urn:q:huge", huge);
  fixture.add_simple_plugin(
    "huge-cut", "urn:q:huge-cut", "Cut here - " + std::string(99989, 'y'));
  const auto started = std::chrono::steady_clock::now();
  open();
  const std::chrono::duration<double> took =
    std::chrono::steady_clock::now() - started;

  ASSERT_EQ(names().size(), 3u);
  EXPECT_EQ(names()[0], "Cut here");
  EXPECT_EQ(names()[1], huge);
  const std::string odd = names()[2];
  ASSERT_TRUE(Glib::ustring(odd).validate());
  EXPECT_EQ(odd.find("Lone "), 0u) << odd;
  EXPECT_NE(odd.find(" high "), std::string::npos) << odd;
  EXPECT_NE(odd.find(" low \U0001F600 kept"), std::string::npos) << odd;
  EXPECT_NE(odd.find(u8"\uFFFD"), std::string::npos) << odd;

  const std::string tip = shown_tooltip("urn:q:surrogate");
  EXPECT_TRUE(Glib::ustring(tip).validate());
  EXPECT_EQ(tip.find("Delay Plugin \nby Ann "), 0u) << tip;
  EXPECT_NE(tip.find("\nAudio Inputs: 1"), std::string::npos) << tip;

  search("LOW \U0001F600");
  EXPECT_EQ(uris(), Names{ "urn:q:surrogate" });
  search("xxxxx");
  EXPECT_EQ(uris(), Names{ "urn:q:huge" });
  EXPECT_LT(took.count(), 20.0);
}

TEST_F(HostileNames, MarkupCharactersAreShownLiterally)
{
  // The tree view reads its tooltip column as Pango markup: a class label
  // or author with "<" or "&" must still show as written.
  fixture.append_manifest("marked",
                          "<urn:q:marked-class> a rdfs:Class ; "
                          "rdfs:subClassOf lv2:Plugin ; "
                          "rdfs:label \"<i>Odd</i> & Co\" .");
  fixture.add_plugin(
    "marked",
    "urn:q:marked",
    "a lv2:Plugin, <urn:q:marked-class> ; "
    "doap:name \"<b>Bold</b> & <unclosed\" ; "
    "doap:maintainer [ foaf:name \"Ann & <b>Bob</b> <ann@example.org>\" ] ; " +
      port(0, "lv2:AudioPort, lv2:InputPort"));
  fixture.add_plugin("amp",
                     "urn:q:amp",
                     "a lv2:Plugin, lv2:AmplifierPlugin ; doap:name \"Amp\" ; "
                     "doap:maintainer [ foaf:name "
                     "\"&amp; <span>\\u0007 \\\"quoted\\\"\" ] ; " +
                       control_port);
  open();

  EXPECT_EQ(names(), (Names{ "<b>Bold</b> & <unclosed", "Amp" }));
  EXPECT_EQ(shown_tooltip("urn:q:marked"),
            "<i>Odd</i> & Co \nby Ann & <b>Bob</b> <ann@example.org>\n"
            "Audio Inputs: 1");
  EXPECT_EQ(shown_tooltip("urn:q:amp"),
            "Amplifier Plugin \nby &amp; <span>\a \"quoted\"");
  search("<b>bold");
  EXPECT_EQ(uris(), Names{ "urn:q:marked" });
}

TEST_F(HostileNames, CutNamesShowTheWholeNameInTheirTooltip)
{
  // Mono and stereo variants read alike once cut; the tooltip tells them
  // apart, escaped like the rest of it.
  fixture.add_simple_plugin("mono",
                            "urn:q:mono",
                            "x42 Compressor - Mono <1 & 1>",
                            "lv2:CompressorPlugin");
  fixture.add_simple_plugin("stereo",
                            "urn:q:stereo",
                            "x42 Compressor - Stereo <2 & 2>",
                            "lv2:CompressorPlugin");
  fixture.add_simple_plugin(
    "short", "urn:q:short", "Amp - Mono", "lv2:AmplifierPlugin");
  fixture.add_simple_plugin("leading",
                            "urn:q:leading",
                            " - a name that begins with the cut",
                            "lv2:AmplifierPlugin");
  const std::vector<std::string> all = {
    "urn:q:mono", "urn:q:stereo", "urn:q:short", "urn:q:leading"
  };
  open(all);

  const auto check = [&](const char* where, bool scan) {
    SCOPED_TRACE(where);
    EXPECT_EQ(shown_tooltip("urn:q:mono"),
              "x42 Compressor - Mono <1 & 1>\nCompressor Plugin");
    EXPECT_EQ(shown_tooltip("urn:q:stereo"),
              "x42 Compressor - Stereo <2 & 2>\nCompressor Plugin");
    // Not cut: the tooltip stays as it was.
    EXPECT_EQ(shown_tooltip("urn:q:short"), "Amplifier Plugin");
    // The scan shows this name whole; the views show it cut to nothing.
    EXPECT_EQ(shown_tooltip("urn:q:leading"),
              scan ? "Amplifier Plugin"
                   : " - a name that begins with the cut\nAmplifier Plugin");
  };
  check("scan", true);
  test::peer(*window).fav_button.set_active(true);
  ASSERT_EQ(uris().size(), all.size());
  check("favourites", false);
  test::peer(*window).fav_button.set_active(false);
  search("plugin");
  ASSERT_EQ(uris().size(), all.size());
  check("search", false);
}

} // namespace
} // namespace quillon
