// Launches watched as the user sees them: no host chosen, hosts that fail
// at once in the ways real ones do, a flood of output, many launches in a
// row, and hosts that outlive the window. The hosts are shell scripts in
// the sandbox's private /tmp.

#include "app/plugin_list.h"
#include "support/files.h"
#include "support/lv2_fixture.h"
#include "support/main_loop.h"
#include "support/menu_probe.h"
#include "support/message_probe.h"
#include "support/plugin_rows.h"
#include "support/stderr_capture.h"
#include "support/window_peer.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/messagedialog.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace quillon {
namespace {

namespace fs = std::filesystem;

using test::Message;
using test::read_file;
using test::shown_messages;
using test::StderrCapture;

/// Children of this process that are zombies.
int
zombie_children()
{
  int count = 0;
  const std::string parent = std::to_string(getpid());
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos)
      continue;
    const std::string stat = read_file(entry.path().string() + "/stat");
    // pid (comm) state ppid ...: comm may hold blanks, so read after ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
      continue;
    char state = 0;
    long ppid = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %ld", &state, &ppid) == 2 &&
        std::to_string(ppid) == parent && state == 'Z')
      ++count;
  }
  return count;
}

class HostLaunchTest : public ::testing::Test
{
protected:
  HostLaunchTest()
  {
    fs::create_directories(bin);
    fixture.add_simple_plugin("amp", "urn:q:amp", "Amp");
  }
  ~HostLaunchTest() override
  {
    window.reset();
    test::pump_pending();
    // Hosts that were meant to outlive the window.
    for (const pid_t pid : leftover)
      kill(pid, SIGKILL);
    std::error_code ignored;
    fs::remove_all(bin, ignored);
  }

  void open()
  {
    window = std::make_unique<LV2PluginList>();
    test::pump_pending();
  }

  /// A host script `name` with `body`, made executable.
  std::string host(const std::string& name, const std::string& body)
  {
    const std::string path = bin + "/" + name;
    test::write_script(path, "#!/bin/sh\n" + body + "\n");
    return path;
  }

  /// Chooses "Default" in the launch menu of Amp with `interpreter`.
  void launch_default(const std::string& interpreter)
  {
    test::peer(*window).interpreter = interpreter;
    test::select(*window, "urn:q:amp");
    window->show_launch_menu();
    Gtk::Menu* menu = test::shown_menu();
    ASSERT_NE(menu, nullptr);
    test::choose(menu, test::item_of(menu, "Default"));
  }

  bool messages_reach(std::size_t count, int timeout_ms = 5000)
  {
    return test::pump_until(
      [count] { return shown_messages().size() >= count; }, timeout_ms);
  }

  /// Waits until every started host has ended and its end was handled:
  /// from then on no more messages come.
  bool all_hosts_ended(int timeout_ms = 5000)
  {
    return test::pump_until(
      [this] { return test::peer(*window).hosts.watched() == 0; }, timeout_ms);
  }

  /// Waits until the window manager has given `message` the focus, as it
  /// has when the user presses a key in it.
  static bool focused(GtkWidget* message)
  {
    return test::pump_until(
      [message] { return gtk_window_is_active(GTK_WINDOW(message)); });
  }

  test::Lv2Fixture fixture;
  std::unique_ptr<LV2PluginList> window;
  const std::string bin = "/tmp/quillon-hosts";
  std::vector<pid_t> leftover;
};

TEST_F(HostLaunchTest, NoHostRunsNothingAndSaysSo)
{
  // A PATH with the pipeline's tools and no host at all.
  const std::string tools = bin + "/tools";
  fs::create_directories(tools);
  for (const char* tool : { "sh", "tr", "xargs", "ls", "grep", "gawk" })
    fs::create_symlink(fs::path("/usr/bin") / tool, fs::path(tools) / tool);
  // Were " urn:q:amp " handed to the shell, this would run.
  host("urn:q:amp", "touch " + bin + "/ran");
  const std::string saved_path = std::getenv("PATH");
  setenv("PATH", (tools + ":" + bin).c_str(), 1);
  open();
  setenv("PATH", saved_path.c_str(), 1);
  EXPECT_EQ(test::peer(*window).host_combo.get_active_text(), "");
  EXPECT_EQ(test::peer(*window).interpreter, "");

  StderrCapture err;
  launch_default("");
  ASSERT_TRUE(messages_reach(1));
  EXPECT_EQ(err.stop(),
            "quillon: no LV2 host of the jalv family was found in PATH; "
            "Debian's package jalv provides one\n");
  const std::vector<Message> shown = shown_messages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].secondary.find("PATH"), std::string::npos);
  EXPECT_NE(shown[0].secondary.find("\u201cjalv\u201d"), std::string::npos);
  // Nothing was started, so no end of it to wait for.
  EXPECT_TRUE(
    test::never_within(300, [&] { return fs::exists(bin + "/ran"); }));
  EXPECT_EQ(test::peer(*window).preset_store->children().size(), 0u);
  EXPECT_EQ(test::shown_menu(), nullptr);

  // The window is not modal, and Return closes it.
  EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(shown[0].window)));
  gtk_window_present(GTK_WINDOW(shown[0].window));
  ASSERT_TRUE(focused(shown[0].window));
  ASSERT_TRUE(
    gtk_test_widget_send_key(gtk_window_get_focus(GTK_WINDOW(shown[0].window)),
                             GDK_KEY_Return,
                             GdkModifierType(0)));
  EXPECT_TRUE(test::pump_until([&] {
    return shown_messages().empty() &&
           test::peer(*window).messages.count() == 0;
  }));

  // A preset launch without a host says the same, and Escape closes it.
  fixture.append_manifest("amp",
                          "<urn:q:amp#warm> a pset:Preset ; "
                          "lv2:appliesTo <urn:q:amp> ; rdfs:label \"Warm\" .");
  window->on_refresh();
  test::select(*window, "urn:q:amp");
  window->show_launch_menu();
  Gtk::Menu* menu = test::shown_menu();
  ASSERT_NE(menu, nullptr);
  test::choose(menu, test::item_of(menu, "Warm"));
  ASSERT_TRUE(messages_reach(1));
  EXPECT_FALSE(fs::exists("/tmp/state.ttl"));
  GtkWidget* const message = shown_messages().at(0).window;
  ASSERT_TRUE(focused(message));
  ASSERT_TRUE(
    gtk_test_widget_send_key(gtk_window_get_focus(GTK_WINDOW(message)),
                             GDK_KEY_Escape,
                             GdkModifierType(0)));
  EXPECT_TRUE(test::pump_until([] { return shown_messages().empty(); }));
}

TEST_F(HostLaunchTest, HostsThatEndAtOnceAreReportedWithTheirLastWords)
{
  open();
  struct Case
  {
    std::string interpreter;
    std::string words;
    std::string status;
  };
  const std::vector<Case> cases = {
    { bin + "/no-such-host", "not found", "exit status 127" },
    { host("no-audio",
           "echo 'Plugin: '\"$1\"; echo 'Failed to connect to audio system'; "
           "exit 1"),
      "Plugin: urn:q:amp\nFailed to connect to audio system",
      "exit status 1" },
    { host("crashing", "echo 'about to crash' >&2; kill -SEGV $$"),
      "about to crash",
      "signal 11" },
    { host("console", "read line; exit 0"),
      "printed nothing",
      "exit status 0" },
  };
  for (const Case& c : cases) {
    StderrCapture err;
    launch_default(c.interpreter);
    ASSERT_TRUE(messages_reach(1)) << c.interpreter;
    const std::string printed = err.stop();
    const Message shown = shown_messages().at(0);
    EXPECT_NE(shown.primary.find(c.interpreter), std::string::npos)
      << shown.primary;
    EXPECT_NE(shown.primary.find("Amp"), std::string::npos) << shown.primary;
    EXPECT_NE(shown.secondary.find(c.words), std::string::npos)
      << shown.secondary;
    EXPECT_NE(shown.secondary.find(c.status), std::string::npos)
      << shown.secondary;
    // One diagnostic line of ours; the host's own output passes through.
    EXPECT_NE(printed.find("quillon: the host \"" + c.interpreter +
                           "\" failed to start Amp: "),
              std::string::npos)
      << printed;
    if (c.words != "printed nothing") {
      EXPECT_NE(printed.find(c.words.substr(c.words.rfind('\n') + 1)),
                std::string::npos)
        << printed;
    }
    gtk_dialog_response(GTK_DIALOG(shown.window), GTK_RESPONSE_CLOSE);
    ASSERT_TRUE(test::pump_until([] { return shown_messages().empty(); }));
  }
  EXPECT_EQ(zombie_children(), 0);
}

TEST_F(HostLaunchTest, LaterEndsCountOnlyWhenTheyFail)
{
  open();
  launch_default(host("slow-fine", "sleep 3.3; exit 0"));
  launch_default(host("slow-bad", "sleep 3.3; echo 'gave up'; exit 2"));
  ASSERT_TRUE(messages_reach(1, 8000));
  // The host that ends well ends about when the other does.
  ASSERT_TRUE(all_hosts_ended());
  const std::vector<Message> shown = shown_messages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].primary.find("slow-bad"), std::string::npos);
  EXPECT_NE(shown[0].secondary.find("gave up"), std::string::npos);
  EXPECT_EQ(test::peer(*window).hosts.watched(), 0u);
}

TEST_F(HostLaunchTest, TenMegabytesOfOutputBlockNeitherHostNorWindow)
{
  open();
  // The window's main loop must keep turning while the host prints.
  gint64 longest_gap = 0;
  gint64 last = g_get_monotonic_time();
  sigc::connection ticker = Glib::signal_timeout().connect(
    [&] {
      const gint64 now = g_get_monotonic_time();
      longest_gap = std::max(longest_gap, now - last);
      last = now;
      return true;
    },
    10);
  StderrCapture err;
  const auto started = std::chrono::steady_clock::now();
  launch_default(host("chatty",
                      "yes 'a line of host output' | head -c 10000000; "
                      "echo 'the last words'; exit 4"));
  ASSERT_TRUE(messages_reach(1, 30000));
  const auto took = std::chrono::steady_clock::now() - started;
  ticker.disconnect();
  const std::string printed = err.stop();
  EXPECT_LT(took, std::chrono::seconds(10));
  EXPECT_LT(longest_gap, 500 * 1000) << "the window stalled";
  // All of it reached our standard error.
  EXPECT_GE(printed.size(), 10000000u);
  const std::string secondary = shown_messages().at(0).secondary;
  EXPECT_NE(secondary.find("the last words"), std::string::npos);
  EXPECT_LT(secondary.size(), 2000u);
}

TEST_F(HostLaunchTest, TwentyLaunchesInARowEachGetTheirOwnWatch)
{
  open();
  host("numbered", "echo \"run $1 of $2\"; exit 2");
  for (int i = 1; i <= 20; ++i)
    launch_default(bin + "/numbered " + std::to_string(i));
  ASSERT_TRUE(messages_reach(20, 15000));
  ASSERT_TRUE(all_hosts_ended());
  const std::vector<Message> shown = shown_messages();
  EXPECT_EQ(shown.size(), 20u);
  for (int i = 1; i <= 20; ++i) {
    const std::string n = std::to_string(i);
    EXPECT_EQ(
      std::count_if(shown.begin(),
                    shown.end(),
                    [&](const Message& m) {
                      return m.primary.find("numbered " + n + "\u201d") !=
                               std::string::npos &&
                             m.secondary.find("run " + n + " of urn:q:amp") !=
                               std::string::npos;
                    }),
      1)
      << n;
  }
  EXPECT_EQ(test::peer(*window).hosts.watched(), 0u);
  EXPECT_EQ(zombie_children(), 0);
}

TEST_F(HostLaunchTest, RelativeLv2PathReachesTheHostAbsolute)
{
  open();
  const std::string saved = std::getenv("LV2_PATH");
  setenv("LV2_PATH", ("relative/lv2:" + saved + ":~/.lv2").c_str(), 1);
  launch_default(host("path-teller", "echo \"LV2_PATH=$LV2_PATH\"; exit 1"));
  setenv("LV2_PATH", saved.c_str(), 1);
  ASSERT_TRUE(messages_reach(1));
  EXPECT_NE(shown_messages().at(0).secondary.find(
              "LV2_PATH=" + fs::current_path().string() +
              "/relative/lv2:" + saved + ":~/.lv2"),
            std::string::npos)
    << shown_messages().at(0).secondary;
}

TEST_F(HostLaunchTest, HostsOutliveTheWindowAndKeepPrinting)
{
  open();
  const std::string beats = bin + "/beats";
  const std::string pid_file = bin + "/pid";
  launch_default(host("lasting",
                      "echo $$ >" + pid_file +
                        "\n"
                        "while :; do echo beat; echo x >>" +
                        beats + "; sleep 0.05; done"));
  ASSERT_TRUE(test::pump_until([&] { return fs::exists(beats); }));
  const pid_t pid = std::stoi(read_file(pid_file));
  leftover.push_back(pid);
  // Its own session: a hang-up or a terminal's signal to us misses it.
  EXPECT_NE(getsid(pid), getsid(0));
  EXPECT_EQ(test::peer(*window).hosts.watched(), 1u);

  // The window goes, and with it the reading end of the host's output.
  window.reset();
  const auto before = fs::file_size(beats);
  // Beats written after the window went show that the host lives on.
  EXPECT_TRUE(
    test::pump_until([&] { return fs::file_size(beats) > before + 4; }))
    << "the host stopped";
  EXPECT_EQ(kill(pid, 0), 0) << "the host died with the window";
  EXPECT_TRUE(shown_messages().empty());
}

} // namespace
} // namespace quillon
