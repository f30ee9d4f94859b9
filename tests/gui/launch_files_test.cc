// The fixed paths under /tmp when another local user got there first, and
// a plugin URI written to make the shell run something. Runs in the
// sandbox's private /tmp.

#include "app/plugin_list.h"
#include "support/files.h"
#include "support/lv2_fixture.h"
#include "support/main_loop.h"
#include "support/menu_probe.h"
#include "support/plugin_rows.h"
#include "support/stderr_capture.h"
#include "support/ustring_printer.h"
#include "support/window_peer.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/menuitem.h>
#include <memory>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace quillon {
namespace {

namespace fs = std::filesystem;

const std::string host_list = "/tmp/jalv.interpreter";
const std::string state_file = "/tmp/state.ttl";

using test::read_file;
using test::write_file;
using test::write_script;

/// Hands `path` to the user "nobody"; false when we may not.
bool
give_to_nobody(const std::string& path)
{
  const passwd* nobody = getpwnam("nobody");
  return getuid() == 0 && nobody &&
         chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
}

class PlantedFileTest : public ::testing::Test
{
protected:
  PlantedFileTest()
  {
    std::error_code ignored;
    for (const std::string& path :
         { host_list, state_file, std::string("/tmp/pwned"), witness })
      fs::remove(path, ignored);
    fs::create_directories(bin);
    // A host the pipeline finds in PATH, and one the tests launch with.
    for (const std::string name : { "jalv.gtk", "jalv" })
      write_script(bin + "/" + name, "#!/bin/sh\nexit 0\n");
    write_script(host,
                 "#!/bin/sh\nprintf '%s\\n' \"$@\" >" + witness +
                   ".new && mv " + witness + ".new " + witness + "\n");
    saved_path = std::getenv("PATH");
    setenv("PATH", (bin + ":" + saved_path).c_str(), 1);
  }
  ~PlantedFileTest() override
  {
    window.reset();
    test::pump_pending();
    setenv("PATH", saved_path.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(bin, ignored);
    fs::remove(state_file, ignored);
    fs::remove(host_list, ignored);
  }

  /// Opens the window and reports what it wrote on standard error.
  std::string open()
  {
    test::StderrCapture err;
    window = std::make_unique<LV2PluginList>();
    return err.stop();
  }

  int host_count() const
  {
    return gtk_tree_model_iter_n_children(
      gtk_combo_box_get_model(
        GTK_COMBO_BOX(test::peer(*window).host_combo.gobj())),
      nullptr);
  }

  /// Chooses the preset "Warm" of urn:q:amp with our recording host.
  std::string launch_preset()
  {
    const test::WindowPeer peer = test::peer(*window);
    peer.interpreter = host;
    test::select(*window, "urn:q:amp");
    window->show_launch_menu();
    const auto rows = peer.preset_store->children();
    EXPECT_EQ(rows.size(), 1u);
    if (rows.empty())
      return "";
    test::StderrCapture err;
    peer.presets.on_preset_activate(
      nullptr, " urn:q:amp & ", peer.world.get(), rows.begin());
    return err.stop();
  }

  void add_amp()
  {
    fixture.add_simple_plugin("amp", "urn:q:amp", "Amp");
    fixture.append_manifest("amp",
                            "<urn:q:amp#warm> a pset:Preset ; "
                            "lv2:appliesTo <urn:q:amp> ; "
                            "rdfs:label \"Warm\" ; lv2:port [ "
                            "lv2:symbol \"p0\" ; pset:value 0.75 ] .");
  }

  /// No host started. A background job has no end to wait for: it is
  /// given ample time to show up.
  bool host_stayed_idle() const
  {
    return test::never_within(300, [&] { return fs::exists(witness); });
  }

  test::Lv2Fixture fixture;
  std::unique_ptr<LV2PluginList> window;
  const std::string bin = "/tmp/quillon-bin";
  const std::string host = "/tmp/quillon-bin/recording-host";
  const std::string witness = "/tmp/quillon-host-ran";
  std::string saved_path;
};

TEST_F(PlantedFileTest, HostListOfOurOwnIsWrittenAndRead)
{
  const std::string err = open();
  EXPECT_EQ(err, "");
  const std::string list = read_file(host_list);
  EXPECT_NE(list.find("jalv -s\n"), std::string::npos) << list;
  EXPECT_NE(list.find("jalv.gtk\n"), std::string::npos) << list;
  EXPECT_EQ(test::peer(*window).interpreter, "jalv.gtk");
  EXPECT_EQ(test::peer(*window).host_combo.get_active_text(), "jalv.gtk");
  EXPECT_GE(host_count(), 2);

  test::peer(*window).host_combo.set_active(0);
  EXPECT_EQ(test::peer(*window).interpreter,
            test::peer(*window).host_combo.get_active_text());
}

TEST_F(PlantedFileTest, AnotherUsersHostListIsNeitherRunNorReadButStoodInFor)
{
  write_file(host_list, "touch /tmp/pwned;jalv.gtk\njalv.gtk\n");
  chmod(host_list.c_str(), 0666);
  if (!give_to_nobody(host_list))
    GTEST_SKIP() << "needs root to plant a file of another user";
  const std::string err = open();
  EXPECT_EQ(err.rfind("quillon: not using /tmp/jalv.interpreter: owned by "
                      "another user\nquillon: using /tmp/quillon-"
                      "jalv.interpreter-",
                      0),
            0u)
    << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
  // The pipeline wrote a private file instead, and the hosts were found.
  EXPECT_EQ(test::peer(*window).interpreter, "jalv.gtk");
  EXPECT_GE(host_count(), 2);
  EXPECT_EQ(read_file(host_list), "touch /tmp/pwned;jalv.gtk\njalv.gtk\n");
  EXPECT_FALSE(fs::exists("/tmp/pwned"));
  // The stand-in was made for this start only.
  for (const auto& entry : fs::directory_iterator("/tmp"))
    EXPECT_EQ(entry.path().string().find("jalv.interpreter-"),
              std::string::npos)
      << entry.path();
}

TEST_F(PlantedFileTest, HostListStandInLivesInTheRuntimeDirectory)
{
  fs::create_directories("/tmp/home/precious-dir");
  fs::create_symlink("/tmp/home/precious-dir", host_list);
  const std::string runtime = "/tmp/runtime";
  fs::create_directories(runtime);
  chmod(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const std::string err = open();
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(err,
            "quillon: not using /tmp/jalv.interpreter: a symbolic link\n"
            "quillon: using /tmp/runtime/quillon-jalv.interpreter instead\n");
  EXPECT_EQ(test::peer(*window).interpreter, "jalv.gtk");
  EXPECT_NE(read_file(runtime + "/quillon-jalv.interpreter").find("jalv.gtk\n"),
            std::string::npos);
  EXPECT_TRUE(fs::is_empty("/tmp/home/precious-dir"));
}

TEST_F(PlantedFileTest, SymlinkOrFifoAtTheHostListIsLeftAlone)
{
  const std::string precious = "/tmp/home/precious";
  fs::create_directories("/tmp/home");
  write_file(precious, "keep me\n");
  fs::create_symlink(precious, host_list);
  std::string err = open();
  EXPECT_EQ(
    err.rfind("quillon: not using /tmp/jalv.interpreter: a symbolic link\n", 0),
    0u)
    << err;
  EXPECT_EQ(read_file(precious), "keep me\n");
  EXPECT_EQ(test::peer(*window).interpreter, "jalv.gtk");
  window.reset();
  fs::remove(host_list);

  ASSERT_EQ(mkfifo(host_list.c_str(), 0666), 0);
  err = open(); // would block for ever if the FIFO were opened plainly
  EXPECT_EQ(
    err.rfind("quillon: not using /tmp/jalv.interpreter: not a regular file\n",
              0),
    0u)
    << err;
  EXPECT_EQ(test::peer(*window).interpreter, "jalv.gtk");
}

TEST_F(PlantedFileTest, PlantedStateFileIsStoodInForAndLeftAlone)
{
  add_amp();
  const std::string precious = "/tmp/home/precious";
  fs::create_directories("/tmp/home");
  write_file(precious, "keep me\n");

  // Each kind of planted file, with a window of its own.
  const std::vector<std::pair<std::string, std::function<bool()>>> plants = {
    { "a symbolic link",
      [&] {
        fs::create_symlink(precious, state_file);
        return true;
      } },
    { "not a regular file",
      [&] { return mkfifo(state_file.c_str(), 0666) == 0; } },
    { "owned by another user",
      [&] {
        write_file(state_file, "theirs\n");
        chmod(state_file.c_str(), 0666);
        return give_to_nobody(state_file);
      } },
  };
  for (const auto& [reason, plant] : plants) {
    if (!plant())
      continue; // another user's file needs root
    open();
    const std::string err = launch_preset();
    EXPECT_EQ(err.rfind("quillon: not using /tmp/state.ttl: " + reason +
                          "\nquillon: using /tmp/quillon-state.ttl-",
                        0),
              0u)
      << err;
    EXPECT_TRUE(test::pump_until([&] { return fs::exists(witness); }))
      << reason;
    // The host was handed the stand-in, which holds the preset.
    const std::string stand_in = test::peer(*window).presets.state_file();
    EXPECT_EQ(read_file(witness), "-l\n" + stand_in + "\nurn:q:amp\n");
    EXPECT_NE(read_file(stand_in).find("0.75"), std::string::npos);
    EXPECT_EQ(fs::status(stand_in).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // The next launch goes straight to the stand-in, without a word.
    fs::remove(witness);
    EXPECT_EQ(launch_preset(), "");
    EXPECT_TRUE(test::pump_until([&] { return fs::exists(witness); }));
    fs::remove(witness);
    EXPECT_EQ(read_file(precious), "keep me\n");
    window.reset();
    fs::remove(state_file);
  }

  // Our own file is replaced and the host started.
  open();
  write_file(state_file, "old content that is longer than nothing\n");
  EXPECT_EQ(launch_preset(), "");
  EXPECT_TRUE(test::pump_until([&] { return fs::exists(witness); }));
  EXPECT_EQ(read_file(witness), "-l\n/tmp/state.ttl\nurn:q:amp\n");
  EXPECT_EQ(read_file(state_file).find("old content"), std::string::npos);
  EXPECT_NE(read_file(state_file).find("0.75"), std::string::npos);
}

TEST_F(PlantedFileTest, HostileUriReachesTheHostAsOneArgument)
{
  const std::string uri = "urn:x;touch$IFS/tmp/pwned";
  fixture.add_simple_plugin("hostile", uri, "Hostile");
  open();
  test::peer(*window).interpreter = host;
  ASSERT_EQ(test::uris(*window), std::vector<std::string>{ uri });
  test::select(*window, uri);
  window->show_launch_menu();
  Gtk::Menu* menu = test::shown_menu();
  ASSERT_NE(menu, nullptr);
  Gtk::MenuItem* default_item = test::item_of(menu, "Default");
  ASSERT_NE(default_item, nullptr);
  default_item->activate();
  ASSERT_TRUE(test::pump_until([&] { return fs::exists(witness); }));
  EXPECT_EQ(read_file(witness), uri + "\n");
  EXPECT_FALSE(fs::exists("/tmp/pwned"));
}

TEST_F(PlantedFileTest, FullTmpStopsThePresetLaunchUntilThereIsRoom)
{
  add_amp();
  open();
  // Shrink the private /tmp to a little above what it holds, then fill it.
  struct statvfs tmp
  {};
  ASSERT_EQ(statvfs("/tmp", &tmp), 0);
  const unsigned long long kib = 1024;
  const auto size_kib = tmp.f_blocks * tmp.f_frsize / kib;
  const auto used_kib = (tmp.f_blocks - tmp.f_bfree) * tmp.f_frsize / kib;
  const auto remount = [](unsigned long long kib_size) {
    return "mount -o remount,size=" + std::to_string(kib_size) + "k /tmp";
  };
  ASSERT_EQ(std::system(remount(used_kib + 256).c_str()), 0);
  (void)std::system("yes filler >/tmp/filler 2>/dev/null");

  const std::string err = launch_preset();
  fs::remove("/tmp/filler"); // a host started by mistake could now report
  EXPECT_EQ(err.rfind("quillon: cannot write /tmp/state.ttl: ", 0), 0u) << err;
  EXPECT_TRUE(host_stayed_idle());
  ASSERT_EQ(std::system(remount(size_kib).c_str()), 0);

  // With room again the same preset starts.
  EXPECT_EQ(launch_preset(), "");
  EXPECT_TRUE(test::pump_until([&] { return fs::exists(witness); }));
}

TEST_F(PlantedFileTest, MissingOrFailingHostLeavesTheWindowWorking)
{
  add_amp();
  open();
  write_script(bin + "/failing", "#!/bin/sh\nexit 3\n");
  const test::WindowPeer peer = test::peer(*window);
  for (const std::string& interpreter :
       { bin + "/no-such-host", bin + "/failing" }) {
    peer.interpreter = interpreter;
    test::select(*window, "urn:q:amp");
    test::StderrCapture shell_complaint;
    peer.presets.on_default_activate(nullptr, " urn:q:amp & ");
    // Once the host's end is handled, all it printed has been passed on.
    EXPECT_TRUE(test::pump_until([&] { return peer.hosts.watched() == 0; }))
      << interpreter;
    shell_complaint.stop();
    EXPECT_EQ(peer.selection->count_selected_rows(), 0) << interpreter;
  }
  // The window carries on: the next launch with a working host runs.
  EXPECT_EQ(launch_preset(), "");
  EXPECT_TRUE(test::pump_until([&] { return fs::exists(witness); }));
}

} // namespace
} // namespace quillon
