// Debian's own hosts, found through Debian's PATH, where /bin and /usr/bin
// are one directory: each host offered once, the GTK 3 host chosen, and
// its own words shown when it cannot reach an audio system.

#include "app/plugin_list.h"
#include "support/lv2_fixture.h"
#include "support/main_loop.h"
#include "support/menu_probe.h"
#include "support/message_probe.h"
#include "support/plugin_rows.h"
#include "support/window_peer.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace quillon {
namespace {

namespace fs = std::filesystem;

const char* const debian_path =
  "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";
const char* const amp = "http://plugin.org.uk/swh-plugins/amp";

class DebianHosts : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (const char* host : { "jalv", "jalv.gtk3" })
      if (access((std::string("/usr/bin/") + host).c_str(), X_OK) != 0)
        GTEST_SKIP() << "Debian's jalv package is not installed";
    if (!fs::exists("/usr/lib/lv2/amp-swh.lv2"))
      GTEST_SKIP() << "swh-lv2 is not installed";
    fs::create_symlink("/usr/lib/lv2/amp-swh.lv2",
                       fs::path(fixture.path()) / "amp-swh.lv2");
    saved_path = std::getenv("PATH");
    setenv("PATH", debian_path, 1);
    window = std::make_unique<LV2PluginList>();
    test::pump_pending();
  }
  void TearDown() override
  {
    window.reset();
    test::pump_pending();
    if (!saved_path.empty())
      setenv("PATH", saved_path.c_str(), 1);
  }

  std::vector<std::string> hosts()
  {
    std::vector<std::string> entries;
    GtkTreeModel* model = gtk_combo_box_get_model(
      GTK_COMBO_BOX(test::peer(*window).host_combo.gobj()));
    GtkTreeIter iter;
    for (gboolean more = gtk_tree_model_get_iter_first(model, &iter); more;
         more = gtk_tree_model_iter_next(model, &iter)) {
      gchar* text = nullptr;
      gtk_tree_model_get(model, &iter, 0, &text, -1);
      entries.emplace_back(text ? text : "");
      g_free(text);
    }
    return entries;
  }

  test::Lv2Fixture fixture;
  std::unique_ptr<LV2PluginList> window;
  std::string saved_path;
};

TEST_F(DebianHosts, EachHostOnceAndTheGtk3HostChosen)
{
  const std::vector<std::string> entries = hosts();
  for (const std::string& host : entries)
    EXPECT_EQ(std::count(entries.begin(), entries.end(), host), 1) << host;
  EXPECT_NE(std::find(entries.begin(), entries.end(), "jalv -s"),
            entries.end());
  EXPECT_EQ(test::peer(*window).host_combo.get_active_text(), "jalv.gtk3");
  EXPECT_EQ(test::peer(*window).interpreter, "jalv.gtk3");
}

TEST_F(DebianHosts, NoAudioSystemShowsTheHostsOwnWords)
{
  // A server name nobody runs: the host finds no audio system even where
  // a JACK server is up. As on a desktop, it first tries to start one for
  // some seconds, then crashes.
  setenv("JACK_DEFAULT_SERVER", "quillon-test-no-such-server", 1);
  ASSERT_EQ(test::uris(*window), std::vector<std::string>{ amp });
  test::select(*window, amp);
  window->show_launch_menu();
  Gtk::Menu* menu = test::shown_menu();
  ASSERT_NE(menu, nullptr);
  test::choose(menu, test::item_of(menu, "Default"));
  const bool shown =
    test::pump_until([] { return !test::shown_messages().empty(); }, 20000);
  unsetenv("JACK_DEFAULT_SERVER");
  ASSERT_TRUE(shown);
  const test::Message message = test::shown_messages().at(0);
  EXPECT_NE(message.primary.find("jalv.gtk3"), std::string::npos);
  EXPECT_NE(message.secondary.find("Failed to connect to audio system"),
            std::string::npos)
    << message.secondary;
}

} // namespace
} // namespace quillon
