// Launching plugins of hostile bundles through a fake host: URIs that the
// shell would take apart or run, URIs that are not text, and presets that
// cannot be loaded or name no installed plugin. Runs in the sandbox's
// private /tmp.

#include "support/fake_host.h"
#include "support/main_loop.h"
#include "support/menu_probe.h"
#include "support/stderr_capture.h"
#include "support/ustring_printer.h"
#include "support/window_fixture.h"
#include "support/window_peer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillon {
namespace {

namespace fs = std::filesystem;

using Texts = std::vector<std::string>;
using test::port;

const std::string planted = "/tmp/pwned";

class HostileLaunch : public test::WindowFixture
{
protected:
  HostileLaunch()
  {
    std::error_code ignored;
    fs::remove(planted, ignored);
    fs::remove("/tmp/state.ttl", ignored);
  }
  ~HostileLaunch() override
  {
    window.reset();
    test::pump_pending();
  }

  void open_with_host()
  {
    open();
    test::peer(*window).interpreter = host.command();
    test::pump_pending();
  }

  /// Opens the launch menu of `uri` and returns its item texts.
  Texts menu_of(const std::string& uri)
  {
    select(uri);
    window->show_launch_menu();
    if (!test::pump_until([] { return test::shown_menu() != nullptr; }))
      return {};
    return test::item_texts(test::shown_menu());
  }

  /// Chooses `item` in the launch menu of `uri`; the host's arguments, or
  /// nothing when the host did not run.
  Texts launch(const std::string& uri, const std::string& item)
  {
    host.forget();
    menu_of(uri);
    Gtk::Menu* menu = test::shown_menu();
    if (!menu) {
      ADD_FAILURE() << "no launch menu for " << uri;
      return {};
    }
    test::choose(menu, test::item_of(menu, item));
    if (!host.ran())
      return {};
    return host.arguments();
  }

  /// Closes the launch menu as a click elsewhere does.
  static void close_menu()
  {
    if (Gtk::Menu* menu = test::shown_menu())
      menu->deactivate();
    test::pump_until([] { return test::shown_menu() == nullptr; });
  }

  /// Nothing the shell could have been tricked into running ran. A
  /// background job has no end to wait for: it is given ample time to show.
  static bool nothing_planted()
  {
    return test::never_within(300, [] { return fs::exists(planted); });
  }

  test::FakeHost host;
};

/// A preset of `plugin` with its label and one port value in the manifest.
std::string
preset(const std::string& uri,
       const std::string& plugin,
       const std::string& label,
       const std::string& more = "")
{
  return "<" + uri + "> a pset:Preset ; lv2:appliesTo <" + plugin +
         "> ; rdfs:label \"" + label +
         "\" ; lv2:port [ lv2:symbol \"p0\" ; pset:value 0.5 ]" +
         (more.empty() ? "" : " ; " + more) + " .";
}

TEST_F(HostileLaunch, UrisWithShellSyntaxReachTheHostWhole)
{
  // The ";" URI with "Default" is covered by PlantedFileTest; here a
  // single quote with a preset launch, a line feed, and bytes that are no
  // text. The host must get lilv's exact URI, or it cannot find the plugin.
  const std::string quoted = "urn:x'$(touch$IFS" + planted + ")'";
  const std::string line_feed = "urn:q:line\nfeed;touch$IFS" + planted;
  const std::string no_text = "urn:q:\xed\xa0\x80;touch$IFS" + planted;
  fixture.add_simple_plugin("quoted", quoted, "Quoted");
  fixture.append_manifest("quoted",
                          preset("urn:q:quoted#warm", quoted, "Warm"));
  fixture.add_simple_plugin(
    "line-feed", "urn:q:line\\u000Afeed;touch$IFS" + planted, "Line Feed");
  fixture.add_simple_plugin(
    "no-text", "urn:q:\\uD800;touch$IFS" + planted, "No Text");
  open_with_host();

  ASSERT_EQ(names(), (Texts{ "Line Feed", "No Text", "Quoted" }));
  EXPECT_EQ(launch(quoted, "Default"), Texts{ quoted });
  EXPECT_EQ(launch(quoted, "Warm"), (Texts{ "-l", "/tmp/state.ttl", quoted }));
  EXPECT_NE(host.state().find("0.5"), std::string::npos) << host.state();
  EXPECT_EQ(launch(line_feed, "Default"), Texts{ line_feed });

  // The row shows the URI as valid text; the host gets it as lilv has it.
  const std::string shown_uri = uris()[1];
  EXPECT_TRUE(Glib::ustring(shown_uri).validate());
  EXPECT_NE(shown_uri, no_text);
  EXPECT_EQ(launch(shown_uri, "Default"), Texts{ no_text });
  EXPECT_TRUE(nothing_planted());
}

TEST_F(HostileLaunch, MenuOffersTheLabelledPresetsOfThePluginOnly)
{
  // A preset is offered when lilv knows its label: one whose only file is
  // missing is not, one whose label is in the manifest is, even when its
  // settings file is missing (lilv then makes a state without settings).
  fixture.add_simple_plugin("amp", "urn:q:amp", "Amp");
  fixture.add_simple_plugin("bare", "urn:q:bare", "Bare");
  std::string manifest = preset("urn:q:amp#warm", "urn:q:amp", "Warm") + "\n";
  // Its label lies in a file that is missing: lilv knows no label.
  manifest += "<urn:q:amp#gone> a pset:Preset ; lv2:appliesTo <urn:q:amp> ; "
              "rdfs:seeAlso <gone.ttl> .\n";
  // Its label is known, its settings lie in a missing file.
  manifest += "<urn:q:amp#thin> a pset:Preset ; lv2:appliesTo <urn:q:amp> ; "
              "rdfs:label \"Thin\" ; rdfs:seeAlso <thin.ttl> .\n";
  // A label that is no text and one with markup characters.
  manifest +=
    preset("urn:q:amp#garbled", "urn:q:amp", "Garbled \\uD800 label") + "\n";
  manifest +=
    preset("urn:q:amp#marked", "urn:q:amp", "Loud & <b>clear</b>") + "\n";
  // A port value without a symbol.
  manifest += "<urn:q:amp#nosymbol> a pset:Preset ; lv2:appliesTo <urn:q:amp> "
              "; rdfs:label \"Unnamed Port\" ; lv2:port [ pset:value 1 ] .\n";
  // Presets of a plugin that is not installed, one shared with amp.
  manifest += preset("urn:q:ghost#p", "urn:q:ghost", "Ghost") + "\n";
  manifest +=
    preset(
      "urn:q:shared", "urn:q:ghost", "Shared", "lv2:appliesTo <urn:q:amp>") +
    "\n";
  fixture.append_manifest("amp", manifest);
  open_with_host();

  test::StderrCapture capture;
  const Texts amp_menu = menu_of("urn:q:amp");
  const std::string err = capture.stop();
  ASSERT_EQ(amp_menu.size(), 8u);
  EXPECT_EQ(amp_menu[0], "Default");
  EXPECT_EQ(amp_menu[1], "-");
  const std::string garbled = amp_menu[2];
  EXPECT_TRUE(Glib::ustring(garbled).validate());
  EXPECT_EQ(garbled.find("Garbled "), 0u) << garbled;
  EXPECT_EQ(
    Texts(amp_menu.begin() + 3, amp_menu.end()),
    (Texts{ "Loud & <b>clear</b>", "Shared", "Thin", "Unnamed Port", "Warm" }));
  EXPECT_NE(err.find("Preset <urn:q:amp#gone> has no rdfs:label\n"),
            std::string::npos)
    << err;
  close_menu();
  EXPECT_EQ(menu_of("urn:q:bare"), Texts{ "Default" });
  close_menu();

  // Presets whose settings are missing or odd still start the host.
  for (const char* label : { "Thin", "Unnamed Port", "Shared" })
    EXPECT_EQ(launch("urn:q:amp", label),
              (Texts{ "-l", "/tmp/state.ttl", "urn:q:amp" }))
      << label;
  EXPECT_EQ(launch("urn:q:amp", garbled),
            (Texts{ "-l", "/tmp/state.ttl", "urn:q:amp" }));
  EXPECT_TRUE(Glib::ustring(host.state()).validate());
}

} // namespace
} // namespace quillon
