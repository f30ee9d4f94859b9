// The German catalogue, compiled by the build, in the real window.

#include "app/plugin_list.h"
#include "support/lv2_fixture.h"
#include "support/ustring_printer.h"
#include "support/window_peer.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <libintl.h>

namespace quillon {
namespace {

TEST(Translation, GermanTitleAndLabels)
{
  test::Lv2Fixture empty;
  setenv("LANGUAGE", "de", 1);
  const std::string old_locale = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C.UTF-8");
  bindtextdomain("quillon", QUILLON_TEST_LOCALEDIR);
  bind_textdomain_codeset("quillon", "UTF-8");
  textdomain("quillon");
  {
    LV2PluginList window;
    EXPECT_EQ(window.get_title(), "LV2-Plugins");
    EXPECT_EQ(test::peer(window).quit_button.get_label(), "_Beenden");
    EXPECT_EQ(test::peer(window).tree_view.get_column(1)->get_title(),
              "Favorit");
    EXPECT_EQ(test::peer(window).tray_tooltip,
              "0 gültige Plugins installiert\n0 ungültige Plugins gefunden");
  }
  textdomain("messages");
  unsetenv("LANGUAGE");
  std::setlocale(LC_ALL, old_locale.c_str());
}

} // namespace
} // namespace quillon
