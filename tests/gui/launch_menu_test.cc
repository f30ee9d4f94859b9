// The launch menu of the real window: opening it, launching through a fake
// host that records what it was given, Escape, a menu closed by clicking
// elsewhere, and the copy of a URI.

#include "app/plugin_list.h"
#include "launch/state_text.h"
#include "support/fake_host.h"
#include "support/files.h"
#include "support/lv2_fixture.h"
#include "support/main_loop.h"
#include "support/menu_probe.h"
#include "support/plugin_rows.h"
#include "support/ustring_printer.h"
#include "support/window_peer.h"

#include <filesystem>
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/clipboard.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quillon {
namespace {

namespace fs = std::filesystem;

using test::choose;
using test::item_of;
using test::item_texts;
using test::read_file;
using test::shown_menu;

void
on_destroyed(GtkObject*, gpointer flag)
{
  *static_cast<bool*>(flag) = true;
}

class LaunchMenuTest : public ::testing::Test
{
protected:
  LaunchMenuTest() { fs::remove("/tmp/state.ttl"); }
  ~LaunchMenuTest() override
  {
    window.reset();
    test::pump_pending();
  }

  void add_amp()
  {
    fixture.add_simple_plugin("amp", "urn:q:amp", "Amp");
    std::string presets = test::turtle_prefixes;
    for (const auto& [id, label] :
         std::vector<std::pair<std::string, std::string>>{
           { "warm", "Warm" },
           { "bright", "Bright" },
           { "clean", "Clean" },
           { "room", "My_Room" } }) {
      const std::string uri = "urn:q:amp#" + id;
      fixture.append_manifest("amp",
                              "<" + uri +
                                "> a pset:Preset ; "
                                "lv2:appliesTo <urn:q:amp> ; "
                                "rdfs:seeAlso <presets.ttl> .");
      presets += "<" + uri +
                 "> a pset:Preset ; lv2:appliesTo <urn:q:amp> ; "
                 "rdfs:label \"" +
                 label +
                 "\" ; lv2:port [ lv2:symbol \"p0\" "
                 "; pset:value 0.25 ] .\n";
    }
    fixture.write("amp", "presets.ttl", presets);
  }

  void open()
  {
    window = std::make_unique<LV2PluginList>();
    test::peer(*window).interpreter = host.command();
    test::pump_pending();
  }

  void select(const std::string& uri, int column = 0)
  {
    test::select(*window, uri, column);
  }

  void release_button(guint button)
  {
    GdkEventButton event{};
    event.type = GDK_BUTTON_RELEASE;
    event.button = button;
    window->on_button_release(&event);
  }

  bool release_key(guint keyval, guint state = 0)
  {
    GdkEventKey event{};
    event.type = GDK_KEY_RELEASE;
    event.keyval = keyval;
    event.state = state;
    return window->on_key_release(&event);
  }

  std::vector<std::string> recorded_argv() { return host.arguments(); }

  bool host_ran() { return host.ran(); }

  test::Lv2Fixture fixture;
  std::unique_ptr<LV2PluginList> window;
  test::FakeHost host;
};

TEST_F(LaunchMenuTest, OpensOnlyFromTheNameColumnOfASelectedRow)
{
  add_amp();
  open();

  release_button(1);
  EXPECT_EQ(shown_menu(), nullptr) << "no row selected";

  select("urn:q:amp", 1);
  release_button(1);
  EXPECT_TRUE(release_key(GDK_KEY_Return));
  EXPECT_TRUE(release_key(GDK_KEY_space));
  test::pump_pending();
  EXPECT_EQ(shown_menu(), nullptr) << "cursor in the Favorite column";

  select("urn:q:amp", 0);
  EXPECT_TRUE(release_key(GDK_KEY_KP_Enter));
  test::pump_pending();
  EXPECT_EQ(shown_menu(), nullptr) << "keypad Enter";

  release_button(1);
  ASSERT_TRUE(test::pump_until([] { return shown_menu() != nullptr; }));
  // Labels in order, shown as they are: an underscore is no access key.
  EXPECT_EQ(item_texts(shown_menu()),
            (std::vector<std::string>{
              "Default", "-", "Bright", "Clean", "My_Room", "Warm" }));

  // Return opens a fresh menu in place of the one that is up.
  EXPECT_TRUE(release_key(GDK_KEY_Return));
  ASSERT_TRUE(test::pump_until([] { return shown_menu() != nullptr; }));
  EXPECT_EQ(item_texts(shown_menu()).size(), 6u);
}

TEST_F(LaunchMenuTest, DefaultRunsTheHostWithTheUriAndClearsTheSelection)
{
  add_amp();
  fixture.add_simple_plugin("bare", "urn:q:bare", "Bare");
  open();
  select("urn:q:amp");
  window->show_launch_menu();
  Gtk::Menu* menu = shown_menu();
  ASSERT_NE(menu, nullptr);
  bool destroyed = false;
  g_signal_connect(
    menu->gobj(), "destroy", G_CALLBACK(on_destroyed), &destroyed);

  choose(menu, item_of(menu, "Default"));
  ASSERT_TRUE(host_ran());
  EXPECT_EQ(recorded_argv(), (std::vector<std::string>{ "urn:q:amp" }));
  EXPECT_FALSE(host.saw_state());
  EXPECT_EQ(test::peer(*window).selection->count_selected_rows(), 0);
  EXPECT_EQ(test::peer(*window).preset_store->children().size(), 0u);
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(test::pump_until([] { return shown_menu() == nullptr; }));

  // A plugin without presets gets "Default" alone, never the last one's.
  select("urn:q:bare");
  window->show_launch_menu();
  ASSERT_NE(shown_menu(), nullptr);
  EXPECT_EQ(item_texts(shown_menu()), (std::vector<std::string>{ "Default" }));
}

TEST_F(LaunchMenuTest, PresetWritesTheStateFileAndRunsTheHostWithIt)
{
  add_amp();
  open();
  select("urn:q:amp");
  window->show_launch_menu();
  Gtk::Menu* menu = shown_menu();
  ASSERT_NE(menu, nullptr);

  choose(menu, item_of(menu, "Warm"));
  ASSERT_TRUE(host_ran());
  EXPECT_EQ(recorded_argv(),
            (std::vector<std::string>{ "-l", "/tmp/state.ttl", "urn:q:amp" }));
  const std::string state = host.state();
  EXPECT_EQ(state, read_file("/tmp/state.ttl"));
  const std::string prefixes = launch::state_prefixes;
  ASSERT_EQ(state.compare(0, prefixes.size(), prefixes), 0) << state;
  // The state's subject is the document itself.
  EXPECT_EQ(state.compare(prefixes.size(), 2, "<>"), 0) << state;
  EXPECT_NE(state.find("\"Warm\""), std::string::npos) << state;
  EXPECT_NE(state.find("0.25"), std::string::npos) << state;
  EXPECT_EQ(state.find("urn:q:amp#warm"), std::string::npos) << state;
  EXPECT_EQ(test::peer(*window).selection->count_selected_rows(), 0);
  EXPECT_EQ(test::peer(*window).preset_store->children().size(), 0u);

  // A second launch replaces the whole file.
  host.forget();
  select("urn:q:amp");
  window->show_launch_menu();
  menu = shown_menu();
  ASSERT_NE(menu, nullptr);
  choose(menu, item_of(menu, "Bright"));
  ASSERT_TRUE(host_ran());
  const std::string second = read_file("/tmp/state.ttl");
  EXPECT_NE(second.find("\"Bright\""), std::string::npos);
  EXPECT_EQ(second.find("\"Warm\""), std::string::npos);
}

TEST_F(LaunchMenuTest, EscapeEndsTheMenuOtherKeysDoNot)
{
  add_amp();
  open();
  select("urn:q:amp");
  window->show_launch_menu();
  Gtk::Menu* menu = shown_menu();
  ASSERT_NE(menu, nullptr);
  bool destroyed = false;
  g_signal_connect(
    menu->gobj(), "destroy", G_CALLBACK(on_destroyed), &destroyed);

  GdkEventKey key{};
  key.type = GDK_KEY_RELEASE;
  key.window = menu->get_window()->gobj();
  key.keyval = GDK_KEY_a;
  menu->event(reinterpret_cast<GdkEvent*>(&key));
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(test::peer(*window).preset_store->children().size(), 4u);

  key.keyval = GDK_KEY_Escape;
  menu->event(reinterpret_cast<GdkEvent*>(&key));
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(test::peer(*window).preset_store->children().size(), 0u);
  test::pump_pending();
  EXPECT_FALSE(host.has_run());
  EXPECT_EQ(test::peer(*window).selection->count_selected_rows(), 1);
}

TEST_F(LaunchMenuTest, MenuClosedElsewhereIsReleasedOnce)
{
  add_amp();
  open();
  select("urn:q:amp");
  window->show_launch_menu();
  Gtk::Menu* menu = shown_menu();
  ASSERT_NE(menu, nullptr);
  bool destroyed = false;
  g_signal_connect(
    menu->gobj(), "destroy", G_CALLBACK(on_destroyed), &destroyed);

  // What a click outside the menu does.
  menu->deactivate();
  EXPECT_TRUE(test::pump_until([&] { return destroyed; }));
  EXPECT_EQ(test::peer(*window).preset_store->children().size(), 0u);
  EXPECT_FALSE(host.has_run());

  // The next menu works as before.
  window->show_launch_menu();
  menu = shown_menu();
  ASSERT_NE(menu, nullptr);
  choose(menu, item_of(menu, "Clean"));
  ASSERT_TRUE(host_ran());
  EXPECT_TRUE(test::pump_until([] { return shown_menu() == nullptr; }));
}

TEST_F(LaunchMenuTest, ControlCAndRightButtonCopyTheUri)
{
  fixture.add_simple_plugin("amp", "urn:q:amp", "Amp");
  fixture.add_simple_plugin("bare", "urn:q:bare", "Bare");
  open();
  auto clipboard = Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD);
  clipboard->set_text("before");

  EXPECT_TRUE(release_key(GDK_KEY_c, GDK_CONTROL_MASK));
  EXPECT_EQ(clipboard->wait_for_text(), "before") << "nothing selected";

  select("urn:q:amp");
  EXPECT_TRUE(release_key(GDK_KEY_C, GDK_CONTROL_MASK | GDK_SHIFT_MASK));
  EXPECT_EQ(clipboard->wait_for_text(), "urn:q:amp");

  select("urn:q:bare", 2);
  release_button(3);
  EXPECT_EQ(clipboard->wait_for_text(), "urn:q:bare");
  EXPECT_EQ(shown_menu(), nullptr);
}

} // namespace
} // namespace quillon
