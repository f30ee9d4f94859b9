// A start from the catalogue cache against a full scan: after each change
// of the bundles, the start that sees it scans in full, and the next one,
// from the cache, shows byte for byte the same rows, order, tooltips, marks,
// class list and tray text. Hostile caches and an unwritable cache
// directory leave the window as a full scan makes it.

#include "app/plugin_list.h"
#include "catalogue/cache_file.h"
#include "support/files.h"
#include "support/lv2_fixture.h"
#include "support/stderr_capture.h"
#include "support/ustring_printer.h"
#include "support/window_peer.h"

#include <chrono>
#include <filesystem>
#include <glib.h>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace quillon {
namespace {

using test::port;

/// Everything of the window a user can see that the catalogue decides.
struct Shown
{
  std::vector<std::string> rows;
  std::vector<std::string> class_labels;
  std::string tray;
  bool operator==(const Shown& other) const
  {
    return rows == other.rows && class_labels == other.class_labels &&
           tray == other.tray;
  }
};

std::ostream&
operator<<(std::ostream& out, const Shown& shown)
{
  for (const auto& row : shown.rows)
    out << row << "\n";
  for (const auto& label : shown.class_labels)
    out << "class " << label << "\n";
  return out << "tray " << shown.tray;
}

Shown
shown_by(LV2PluginList& window)
{
  auto peer = test::peer(window);
  Shown shown;
  for (const auto& row : peer.list_store->children()) {
    shown.rows.push_back(row.get_value(peer.columns.uri).raw() + " | " +
                         row.get_value(peer.columns.name).raw() + " | " +
                         row.get_value(peer.columns.tooltip).raw() + " | " +
                         (row.get_value(peer.columns.favorite) ? "F" : "-") +
                         (row.get_value(peer.columns.blacklisted) ? "B" : "-"));
  }
  for (const auto& label : peer.class_labels)
    shown.class_labels.push_back(label.raw());
  shown.tray = peer.tray_tooltip.raw();
  return shown;
}

/// The program's own diagnostics; lilv's warnings about nameless plugins
/// come with every full scan.
int
own_lines(const test::StderrCapture& errors)
{
  int lines = 0;
  std::istringstream in(errors.text_so_far());
  for (std::string line; std::getline(in, line);)
    lines += line.rfind("quillon: ", 0) == 0 ? 1 : 0;
  return lines;
}

class CatalogueCache : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string pattern = fs::temp_directory_path() / "quillon-cache-XXXXXX";
    ASSERT_TRUE(g_mkdtemp(pattern.data()));
    cache_home = pattern;
    setenv("XDG_CACHE_HOME", cache_home.c_str(), 1);
    const std::string config = Glib::get_user_config_dir();
    fs::create_directories(config);
    test::write_file(config + "/quillon.conf", "urn:q:b\nurn:q:gone\n");
    test::write_file(config + "/quillon.back", "urn:q:c\nurn:q:d\n");
    fixture.add_simple_plugin(
      "a",
      "urn:q:a",
      "Alpha Delay",
      "lv2:DelayPlugin",
      port(0, "lv2:AudioPort, lv2:InputPort") + " ; " +
        port(1, "lv2:AudioPort, lv2:OutputPort") + " ; " +
        port(
          2, "atom:AtomPort, lv2:InputPort", "atom:supports midi:MidiEvent"));
    fixture.add_plugin("b",
                       "urn:q:b",
                       "a lv2:Plugin, lv2:ReverbPlugin ; doap:name \"Beta "
                       "Reverb - with a name too long\" ; "
                       "doap:maintainer [ foaf:name \"B <Maker> & Co\" ] ; " +
                         port(0, "lv2:AudioPort, lv2:OutputPort"));
    fixture.add_simple_plugin("c", "urn:q:c", "Blacklisted");
    fixture.add_plugin("d",
                       "urn:q:d",
                       "a lv2:Plugin ; " +
                         port(0, "lv2:ControlPort, lv2:InputPort"));
    fixture.add_plugin("e",
                       "urn:q:e",
                       "a lv2:Plugin ; " +
                         port(0, "lv2:ControlPort, lv2:InputPort"));
  }

  void TearDown() override
  {
    unsetenv("XDG_CACHE_HOME");
    std::error_code ignored;
    fs::remove_all(cache_home, ignored);
    const std::string config = Glib::get_user_config_dir();
    fs::remove(config + "/quillon.conf", ignored);
    fs::remove(config + "/quillon.back", ignored);
  }

  std::string cache_file() const
  {
    return cache_home + "/quillon/" + catalogue::cache_file_name;
  }

  /// Waits until the bundles' last change is old enough for a cache.
  static void settle()
  {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }

  /// A start; `cached` tells whether it came from the cache.
  Shown start(bool& cached)
  {
    LV2PluginList window;
    cached = test::peer(window).catalogue_cached;
    return shown_by(window);
  }

  /// The start after a change scans in full; the next one comes from the
  /// cache and shows the same.
  void expect_cache_agrees(const std::string& what)
  {
    settle();
    bool cached = true;
    const Shown scanned = start(cached);
    EXPECT_FALSE(cached) << what << ": the change was not seen";
    const Shown from_cache = start(cached);
    EXPECT_TRUE(cached) << what;
    EXPECT_EQ(from_cache, scanned) << what;
  }

  void rewrite_keeping_size_and_time(const std::string& file,
                                     const std::string& from,
                                     const std::string& to)
  {
    ASSERT_EQ(from.size(), to.size());
    struct stat before;
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    std::string text = test::read_file(file);
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, from.size(), to);
    test::write_file(file, text);
    const timespec times[2] = { before.st_atim, before.st_mtim };
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  }

  test::Lv2Fixture fixture;
  std::string cache_home;
};

TEST_F(CatalogueCache, AgreesWithAFullScanAfterEveryChange)
{
  expect_cache_agrees("the first start");
  const std::string a_ttl = fixture.path() + "/a.lv2/a.ttl";
  rewrite_keeping_size_and_time(a_ttl, "Alpha Delay", "Alpha Delai");
  expect_cache_agrees("a name edited, same size and time");

  fixture.add_simple_plugin("f", "urn:q:f", "Added");
  expect_cache_agrees("a bundle added");
  fixture.remove_bundle("f");
  expect_cache_agrees("a bundle removed");
  fs::rename(fixture.path() + "/e.lv2", fixture.path() + "/renamed.lv2");
  expect_cache_agrees("a bundle renamed");

  // Presets of urn:q:a in a bundle of their own.
  fixture.append_manifest(
    "presets",
    "<urn:q:preset> a pset:Preset ; lv2:appliesTo <urn:q:a> ; "
    "rdfs:label \"Warm\" ; rdfs:seeAlso <warm.ttl> .");
  fixture.write("presets",
                "warm.ttl",
                std::string(test::turtle_prefixes) +
                  "<urn:q:preset> a pset:Preset ; lv2:appliesTo <urn:q:a> ; "
                  "rdfs:label \"Warm\" .\n");
  expect_cache_agrees("a presets bundle added");

  // A class of another bundle, then its label changed.
  fixture.append_manifest(
    "classes",
    "<urn:q:Class> a rdfs:Class ; rdfs:subClassOf lv2:Plugin ; "
    "rdfs:label \"Old Class\" .");
  fixture.add_simple_plugin("g", "urn:q:g", "Of a class", "<urn:q:Class>");
  expect_cache_agrees("a plugin of a class from another bundle");
  rewrite_keeping_size_and_time(
    fixture.path() + "/classes.lv2/manifest.ttl", "Old Class", "New Class");
  expect_cache_agrees("that class's label changed");

  // A plugin that loses its name, then gets it back.
  rewrite_keeping_size_and_time(
    fixture.path() + "/g.lv2/g.ttl", "doap:name", "doap:nome");
  expect_cache_agrees("a plugin turned invalid");
  rewrite_keeping_size_and_time(
    fixture.path() + "/g.lv2/g.ttl", "doap:nome", "doap:name");
  expect_cache_agrees("the plugin valid again");
}

TEST_F(CatalogueCache, SearchPathOrderLanguageAndLaunchData)
{
  // The same URI in a second directory, with another name: which one
  // lilv takes depends on the order of the search path.
  const std::string other = cache_home + "/other";
  fs::create_directories(other + "/a2.lv2");
  test::write_file(other + "/a2.lv2/manifest.ttl",
                   std::string(test::turtle_prefixes) +
                     "<urn:q:a> a lv2:Plugin ; rdfs:seeAlso <a2.ttl> .\n");
  test::write_file(
    other + "/a2.lv2/a2.ttl",
    std::string(test::turtle_prefixes) +
      "<urn:q:a> a lv2:Plugin, lv2:EQPlugin ; doap:name \"Second\"@en, "
      "\"Zweites\"@de ; " +
      port(0, "lv2:AudioPort, lv2:InputPort") + " .\n");
  setenv("LV2_PATH", (other + ":" + fixture.path()).c_str(), 1);
  expect_cache_agrees("a second directory first");
  setenv("LV2_PATH", (fixture.path() + ":" + other).c_str(), 1);
  expect_cache_agrees("the second directory last");
  setenv("LV2_PATH", (other + ":" + fixture.path()).c_str(), 1);

  // lilv picks translated names by LANG: the cache must not keep them.
  setenv("LANG", "de_DE.UTF-8", 1);
  expect_cache_agrees("LANG changed");
  unsetenv("LANG");
  expect_cache_agrees("LANG unset");

  // Rows from the cache hold plugins of the new world, which still loads
  // their data on demand: the presets of the launch menu are found.
  fixture.append_manifest(
    "presets",
    "<urn:q:preset> a pset:Preset ; lv2:appliesTo <urn:q:b> ; "
    "rdfs:label \"Warm\" .");
  settle();
  {
    LV2PluginList scanned;
  }
  LV2PluginList window;
  ASSERT_TRUE(test::peer(window).catalogue_cached);
  const LilvPlugins* all =
    lilv_world_get_all_plugins(test::peer(window).world.get());
  const NodePtr preset_class(lilv_new_uri(
    test::peer(window).world.get(), "http://lv2plug.in/ns/ext/presets#Preset"));
  int checked = 0;
  for (const auto& row : test::peer(window).list_store->children()) {
    const LilvPlugin* plugin = row.get_value(test::peer(window).columns.plugin);
    const NodePtr uri(
      lilv_new_uri(test::peer(window).world.get(),
                   row.get_value(test::peer(window).columns.uri).c_str()));
    EXPECT_EQ(plugin, lilv_plugins_get_by_uri(all, uri.get()));
    if (row.get_value(test::peer(window).columns.uri) == "urn:q:b") {
      const NodesPtr presets(
        lilv_plugin_get_related(plugin, preset_class.get()));
      EXPECT_EQ(lilv_nodes_size(presets.get()), 1u);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 1);
}

TEST_F(CatalogueCache, TheCacheHoldsNoTranslatedOrCollatedText)
{
  settle();
  {
    LV2PluginList window;
  }
  const std::string bytes = test::read_file(cache_file());
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.find("Audio Inputs"), std::string::npos);
  EXPECT_EQ(bytes.find("\nby "), std::string::npos);
  // The author is kept raw, not as the tooltip's markup.
  EXPECT_NE(bytes.find("B <Maker> & Co"), std::string::npos);
  EXPECT_EQ(bytes.find("&amp;"), std::string::npos);
}

TEST_F(CatalogueCache, RealPluginsAgree)
{
  unsetenv("LV2_PATH");
  bool cached = true;
  const Shown scanned = start(cached);
  ASSERT_GT(scanned.rows.size(), 100u)
    << "the LV2 plugin packages of the test set-up are missing";
  EXPECT_FALSE(cached);
  const Shown from_cache = start(cached);
  EXPECT_TRUE(cached);
  EXPECT_EQ(from_cache, scanned);
}

TEST_F(CatalogueCache, GeneratedPluginsAgreeInEveryView)
{
  const char* classes[] = { "lv2:DelayPlugin",
                            "lv2:ReverbPlugin",
                            "lv2:InstrumentPlugin",
                            "lv2:EQPlugin" };
  for (int i = 0; i < 300; ++i) {
    const std::string n = std::to_string(i);
    if (i % 37 == 0) {
      fixture.add_plugin("gen" + n,
                         "urn:q:gen" + n,
                         "a lv2:Plugin ; " +
                           port(0, "lv2:ControlPort, lv2:InputPort"));
      continue;
    }
    std::string ports;
    for (int p = 0; p < i % 5; ++p)
      ports += (p ? " ; " : "") + port(p,
                                       p % 2 ? "lv2:AudioPort, lv2:OutputPort"
                                             : "lv2:AudioPort, lv2:InputPort");
    const std::string name = i % 11 == 0 ? " - Dash first and long enough"
                             : i % 7 == 0
                               ? "Gen " + n + " - cut off after the dash"
                               : "Gén \xc3\xa9" + n;
    fixture.add_simple_plugin(
      "gen" + n, "urn:q:gen" + n, name, classes[i % 4], ports);
  }
  settle();
  std::unique_ptr<LV2PluginList> scanned = std::make_unique<LV2PluginList>();
  std::unique_ptr<LV2PluginList> from_cache = std::make_unique<LV2PluginList>();
  ASSERT_FALSE(test::peer(*scanned).catalogue_cached);
  ASSERT_TRUE(test::peer(*from_cache).catalogue_cached);
  EXPECT_EQ(shown_by(*from_cache), shown_by(*scanned));
  for (auto* window : { scanned.get(), from_cache.get() })
    test::peer(*window).fav_button.set_active(true);
  EXPECT_EQ(shown_by(*from_cache), shown_by(*scanned));
  for (auto* window : { scanned.get(), from_cache.get() })
    test::peer(*window).bl_button.set_active(true);
  EXPECT_EQ(shown_by(*from_cache), shown_by(*scanned));
  for (auto* window : { scanned.get(), from_cache.get() }) {
    test::peer(*window).bl_button.set_active(false);
    test::peer(*window).search_combo.get_entry()->set_text("gén é1");
  }
  EXPECT_EQ(shown_by(*from_cache), shown_by(*scanned));
  // Refresh with nothing changed comes from the cache too.
  for (auto* window : { scanned.get(), from_cache.get() })
    test::peer(*window).refresh_button.clicked();
  EXPECT_TRUE(test::peer(*scanned).catalogue_cached);
  EXPECT_EQ(shown_by(*from_cache), shown_by(*scanned));
}

TEST_F(CatalogueCache, HostileCachesGiveAFullScanAndOneLine)
{
  settle();
  bool cached = true;
  const Shown reference = start(cached);
  const std::string good = test::read_file(cache_file());
  ASSERT_FALSE(good.empty());

  const auto replaced = [&](const std::string& what,
                            const std::function<void()>& place) {
    std::error_code ignored;
    fs::remove_all(cache_file(), ignored);
    place();
    const test::StderrCapture errors;
    bool from_cache = true;
    const Shown shown = start(from_cache);
    EXPECT_FALSE(from_cache) << what;
    EXPECT_EQ(shown, reference) << what;
    EXPECT_EQ(own_lines(errors), 1) << what << ": " << errors.text_so_far();
  };
  const auto bytes = [&](const std::string& content) {
    return [this, content] { test::write_file(cache_file(), content); };
  };
  replaced("random bytes",
           bytes("\x7f"
                 "ELF random \x01\x02\xff"));
  replaced("cut short", bytes(good.substr(0, good.size() / 2)));
  std::string flipped = good;
  flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x20);
  replaced("one bit changed", bytes(flipped));
  replaced("a symbolic link", [&] {
    const std::string real = cache_home + "/real";
    test::write_file(real, good);
    fs::create_symlink(real, cache_file());
  });
  replaced("a directory", [&] { fs::create_directories(cache_file()); });
  replaced("1 GiB of zeros", [&] {
    test::write_file(cache_file(), "");
    fs::resize_file(cache_file(), std::uintmax_t(1) << 30);
  });
  // After each, the next start is cached again, but for the directory,
  // which stays where the file should be.
  fs::remove_all(cache_file());
  start(cached);
  start(cached);
  EXPECT_TRUE(cached);
}

TEST_F(CatalogueCache, AFullDiskOrAReadOnlyDirectoryLeavesTheWindowWorking)
{
  settle();
  bool cached = true;
  const Shown reference = start(cached);
  fs::remove_all(cache_home + "/quillon");
  fs::create_directories(cache_home + "/quillon");
  // A file system with room for nothing but the directory.
  ASSERT_EQ(mount("tmpfs",
                  (cache_home + "/quillon").c_str(),
                  "tmpfs",
                  0,
                  "size=4k,mode=0700"),
            0)
    << "the test runs in the sandbox's own mount namespace";
  test::write_file(cache_home + "/quillon/filler", std::string(8192, 'x'));
  {
    const test::StderrCapture errors;
    EXPECT_EQ(start(cached), reference);
    EXPECT_FALSE(cached);
    EXPECT_EQ(own_lines(errors), 1) << errors.text_so_far();
  }
  EXPECT_FALSE(fs::exists(cache_file()));
  // Read-only: the same.
  fs::remove(cache_home + "/quillon/filler");
  ASSERT_EQ(mount(nullptr,
                  (cache_home + "/quillon").c_str(),
                  nullptr,
                  MS_REMOUNT | MS_RDONLY,
                  "size=4k,mode=0700"),
            0);
  {
    const test::StderrCapture errors;
    EXPECT_EQ(start(cached), reference);
    EXPECT_FALSE(cached);
    EXPECT_EQ(own_lines(errors), 1) << errors.text_so_far();
  }
  umount((cache_home + "/quillon").c_str());
}

} // namespace
} // namespace quillon
