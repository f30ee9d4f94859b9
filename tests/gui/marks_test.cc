// The Favorite and Blacklist check boxes and the mark files.

#include "support/files.h"
#include "support/main_loop.h"
#include "support/plugin_rows.h"
#include "support/ustring_printer.h"
#include "support/window_fixture.h"
#include "support/window_peer.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace quillon {
namespace {

using Names = std::vector<std::string>;
using Marks = std::vector<Glib::ustring>;
using test::read_file;

class MarkBoxes : public test::WindowFixture
{
protected:
  void SetUp() override
  {
    fixture.add_simple_plugin("a", "urn:q:a", "Alpha");
    fixture.add_simple_plugin("b", "urn:q:b", "Beta");
    fixture.add_simple_plugin("c", "urn:q:c", "Gamma");
  }
};

TEST_F(MarkBoxes, TickingAddsOnceAndClearingRemovesTheFirstEntry)
{
  open();
  // The rows were made before these marks: their boxes are clear.
  test::peer(*window).favorites = { "urn:q:a", "urn:q:x", "urn:q:a" };
  window->fav_refills = 0;
  // Ticking a plugin that is already a favourite changes nothing.
  click_box("urn:q:a", 1);
  EXPECT_EQ(test::peer(*window).favorites,
            (Marks{ "urn:q:a", "urn:q:x", "urn:q:a" }));
  EXPECT_FALSE(test::peer(*window).fav_changed);
  click_box("urn:q:a", 1); // cleared: the first entry goes
  EXPECT_EQ(test::peer(*window).favorites, (Marks{ "urn:q:x", "urn:q:a" }));
  EXPECT_TRUE(test::peer(*window).fav_changed);
  click_box("urn:q:c", 1);
  EXPECT_EQ(test::peer(*window).favorites,
            (Marks{ "urn:q:x", "urn:q:a", "urn:q:c" }));
  EXPECT_EQ(window->fav_refills, 0);
  // The row stays in the all-plugins view with its new box state.
  EXPECT_EQ(names(), (Names{ "Alpha", "Beta", "Gamma" }));
}

TEST_F(MarkBoxes, ClearingInAMarkViewRemovesTheRowAtOnce)
{
  open({ "urn:q:a", "urn:q:b" }, { "urn:q:c" });
  test::peer(*window).fav_button.set_active(true);
  click_box("urn:q:a", 1);
  EXPECT_EQ(names(), Names{ "Beta" });
  // Blacklisting in the favourites view leaves the view as it is.
  click_box("urn:q:b", 2);
  EXPECT_EQ(names(), Names{ "Beta" });
  EXPECT_EQ(test::peer(*window).blacklist, (Marks{ "urn:q:c", "urn:q:b" }));

  test::peer(*window).bl_button.set_active(true);
  EXPECT_EQ(names(), (Names{ "Beta", "Gamma" }));
  click_box("urn:q:c", 2);
  EXPECT_EQ(names(), Names{ "Beta" });
  EXPECT_TRUE(test::peer(*window).bl_changed);
}

TEST_F(MarkBoxes, AUriOnBothListsShowsOnlyInTheBlacklistView)
{
  open({ "urn:q:b" }, { "urn:q:b" });
  EXPECT_EQ(names(), (Names{ "Alpha", "Gamma" }));
  test::peer(*window).fav_button.set_active(true);
  EXPECT_TRUE(names().empty());
  test::peer(*window).bl_button.set_active(true);
  EXPECT_EQ(names(), Names{ "Beta" });
  const auto row = test::row_of(*window, "urn:q:b");
  EXPECT_TRUE(row.get_value(test::peer(*window).columns.favorite));
  EXPECT_TRUE(row.get_value(test::peer(*window).columns.blacklisted));
}

class MarkFiles : public MarkBoxes
{
protected:
  void TearDown() override
  {
    window.reset();
    // Undo what a failed test may have left mounted.
    [[maybe_unused]] int ignored = std::system(("umount " + config().string() +
                                                " 2>/dev/null; "
                                                "umount /etc/xdg 2>/dev/null")
                                                 .c_str());
    fs::remove_all(config());
  }

  fs::path config() const { return Glib::get_user_config_dir(); }
};

TEST_F(MarkFiles, QuitSavesOnlyTheChangedListsByteForByte)
{
  open({ "urn:q:a\r", "", "bad \xff", "urn:q:a" }, { "urn:q:c" });
  // urn:q:a is a favourite by its second entry.
  EXPECT_TRUE(test::row_of(*window, "urn:q:a")
                .get_value(test::peer(*window).columns.favorite));
  const auto blacklist_time = fs::last_write_time(config() / "quillon.back");
  click_box("urn:q:b", 1);
  window->on_quit();
  EXPECT_EQ(read_file(config() / "quillon.conf"),
            "urn:q:a\r\n\nbad \xff\nurn:q:a\nurn:q:b\n");
  EXPECT_EQ(fs::last_write_time(config() / "quillon.back"), blacklist_time);
}

TEST_F(MarkFiles, AMissingConfigurationDirectoryIsCreated)
{
  open();
  fs::remove_all(config());
  click_box("urn:q:a", 2);
  window->on_quit();
  EXPECT_EQ(read_file(config() / "quillon.back"), "urn:q:a\n");
  EXPECT_FALSE(fs::exists(config() / "quillon.conf"));
}

/// Runs a shell command; the tests run as root in a private mount namespace.
void
shell(const std::string& command)
{
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(MarkFiles, FailedSaveKeepsTheOldFileAndTheWindow)
{
  // The configuration directory on a tiny file system that is full.
  const std::string dir = config().string();
  shell("mkdir -p " + dir + " && mount -t tmpfs -o size=16k tmpfs " + dir);
  shell("printf 'urn:q:a\\n' > " + dir + "/quillon.conf");
  open({ "urn:q:a" });
  std::system(("yes filler > " + dir + "/filler 2>/dev/null").c_str());
  const std::string before = read_file(config() / "quillon.conf");
  ASSERT_EQ(before, "urn:q:a\n");

  click_box("urn:q:b", 1);
  window->on_quit();
  EXPECT_EQ(read_file(config() / "quillon.conf"), before);
  EXPECT_TRUE(test::peer(*window).fav_changed);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(config())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2) << "a temporary file was left behind";

  // Once there is room again, quitting saves.
  fs::remove(config() / "filler");
  window->on_quit();
  EXPECT_EQ(read_file(config() / "quillon.conf"), "urn:q:a\nurn:q:b\n");
}

TEST_F(MarkFiles, ReadOnlyDirectoryKeepsTheOldFile)
{
  const std::string dir = config().string();
  shell("mkdir -p " + dir + " && printf 'urn:q:c\\n' > " + dir +
        "/quillon.back && mount --bind " + dir + " " + dir +
        " && mount -o remount,ro,bind " + dir);
  open();
  EXPECT_EQ(test::peer(*window).blacklist, Marks{ "urn:q:c" });
  click_box("urn:q:a", 2);
  window->on_quit();
  EXPECT_EQ(read_file(config() / "quillon.back"), "urn:q:c\n");
  EXPECT_TRUE(test::peer(*window).bl_changed);
}

TEST_F(MarkFiles, SystemDefaultsAreReadOnlyWhenTheUserHasNoFile)
{
  shell("mount -t tmpfs tmpfs /etc/xdg && mkdir -p /etc/xdg/quillon && "
        "printf 'urn:q:b\\n' > /etc/xdg/quillon/quillon.conf && "
        "printf 'urn:q:c\\n' > /etc/xdg/quillon/quillon.back");
  open();
  EXPECT_EQ(test::peer(*window).favorites, Marks{ "urn:q:b" });
  EXPECT_EQ(test::peer(*window).blacklist, Marks{ "urn:q:c" });

  // An empty user file hides the system file; an unreadable one (here a
  // directory) counts as missing.
  fs::create_directories(config());
  test::write_file(config() / "quillon.conf", "");
  fs::create_directories(config() / "quillon.back");
  window = std::make_unique<test::CountingWindow>();
  EXPECT_TRUE(test::peer(*window).favorites.empty());
  EXPECT_EQ(test::peer(*window).blacklist, Marks{ "urn:q:c" });
}

} // namespace
} // namespace quillon
