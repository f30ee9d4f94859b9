// Times the window's own work over the installed (or LV2_PATH) plugins:
// the first scan, a Refresh with a full scan and one from the catalogue
// cache, a second window from the cache, search keystrokes and view
// toggles, each from the call to the main loop being idle again with the
// view updated. Prints one "name seconds rows" line per measure (medians
// of repeats); run it without a cache for the first scan to be a full one.

#include "app/plugin_list.h"
#include "catalogue/cache_file.h"
#include "support/window_peer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtkmm/main.h>
#include <memory>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;

void
settle()
{
  while (Gtk::Main::events_pending())
    Gtk::Main::iteration(false);
}

double
timed(const std::function<void()>& action)
{
  const auto start = clock_type::now();
  action();
  settle();
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

double
median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void
report(const char* name, double seconds, std::size_t rows)
{
  std::printf("%s %.4f %zu\n", name, seconds, rows);
  std::fflush(stdout);
}

} // namespace

int
main(int argc, char** argv)
{
  Gtk::Main toolkit(argc, argv);
  const int repeats = 5;
  std::unique_ptr<quillon::LV2PluginList> window;

  const double construct =
    timed([&window] { window = std::make_unique<quillon::LV2PluginList>(); });
  const auto rows = [&window] {
    return quillon::test::peer(*window).list_store->children().size();
  };
  report("window", construct, rows());

  const auto refresh = [&] {
    quillon::test::peer(*window).refresh_button.clicked();
  };
  const auto cached = [&window] {
    return quillon::test::peer(*window).catalogue_cached;
  };
  std::vector<double> full_refreshes;
  bool all_full = true;
  for (int i = 0; i < 2; ++i) {
    std::filesystem::remove_all(quillon::catalogue::cache_directory());
    full_refreshes.push_back(timed(refresh));
    all_full = all_full && !cached();
  }
  report(all_full ? "refresh_full" : "refresh_full_not_full",
         median(full_refreshes),
         rows());
  std::vector<double> refreshes;
  bool all_cached = true;
  for (int i = 0; i < repeats; ++i) {
    refreshes.push_back(timed(refresh));
    all_cached = all_cached && cached();
  }
  report(all_cached ? "refresh_cached" : "refresh_cached_not_cached",
         median(refreshes),
         rows());
  {
    std::unique_ptr<quillon::LV2PluginList> second;
    const double seconds =
      timed([&second] { second = std::make_unique<quillon::LV2PluginList>(); });
    report(quillon::test::peer(*second).catalogue_cached
             ? "window_cached"
             : "window_cached_not_cached",
           seconds,
           quillon::test::peer(*second).list_store->children().size());
  }

  Gtk::Entry* entry = quillon::test::peer(*window).search_combo.get_entry();
  const struct
  {
    const char* name;
    const char* text;
  } queries[] = { { "search_narrow", "reverb" },
                  { "search_broad", "a" },
                  { "search_empty", "" } };
  for (const auto& query : queries) {
    std::vector<double> times;
    std::size_t shown = 0;
    for (int i = 0; i < repeats; ++i) {
      // Start from another text so that every measure is a real change.
      entry->set_text(query.text[0] ? "" : "x");
      settle();
      times.push_back(timed([&] { entry->set_text(query.text); }));
      shown = rows();
    }
    report(query.name, median(times), shown);
  }

  entry->set_text("");
  settle();
  std::vector<double> to_view;
  std::vector<double> back;
  for (int i = 0; i < repeats; ++i) {
    to_view.push_back(
      timed([&] { quillon::test::peer(*window).bl_button.set_active(true); }));
    back.push_back(
      timed([&] { quillon::test::peer(*window).bl_button.set_active(false); }));
  }
  report("toggle_view", median(to_view), 0);
  report("toggle_all", median(back), rows());

  window.reset();
  return 0;
}
