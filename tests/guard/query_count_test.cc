// Guards the cost of the list's fills without timing anything: the lilv
// queries and collation keys a fill makes are counted through link-time
// wrappers. A search keystroke or a view change must ask lilv nothing and
// collate only the mark lists; a scan asks a bounded number of queries per
// plugin. When a change breaks these bounds, typing at 20,000 plugins gets
// slow again.

#include "app/plugin_list.h"
#include "catalogue/cache_file.h"
#include "support/lv2_fixture.h"
#include "support/main_loop.h"
#include "support/window_peer.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

std::atomic<long> lilv_queries{ 0 };
// The queries that make lilv load a plugin's data: all but its URI.
std::atomic<long> data_queries{ 0 };
std::atomic<long> collation_keys{ 0 };
std::atomic<long> port_loads{ 0 };

} // namespace

// The wrapped functions: every call from the program's libraries lands here.
extern "C"
{
#define QUILLON_WRAP(result, name, params, args)                               \
  result __real_##name params;                                                 \
  result __wrap_##name params                                                  \
  {                                                                            \
    ++lilv_queries;                                                            \
    ++data_queries;                                                            \
    return __real_##name args;                                                 \
  }

  QUILLON_WRAP(LilvNode*, lilv_plugin_get_name, (const LilvPlugin* p), (p))

  // The URI is known from the manifest: asking for it loads nothing.
  const LilvNode* __real_lilv_plugin_get_uri(const LilvPlugin* p);
  const LilvNode* __wrap_lilv_plugin_get_uri(const LilvPlugin* p)
  {
    ++lilv_queries;
    return __real_lilv_plugin_get_uri(p);
  }
  QUILLON_WRAP(const LilvPluginClass*,
               lilv_plugin_get_class,
               (const LilvPlugin* p),
               (p))
  QUILLON_WRAP(LilvNode*,
               lilv_plugin_get_author_name,
               (const LilvPlugin* p),
               (p))
  QUILLON_WRAP(LilvNode*, lilv_plugin_get_project, (const LilvPlugin* p), (p))
  QUILLON_WRAP(LilvNodes*,
               lilv_plugin_get_value,
               (const LilvPlugin* p, const LilvNode* n),
               (p, n))
  QUILLON_WRAP(
    LilvNodes*,
    lilv_world_find_nodes,
    (LilvWorld * w, const LilvNode* s, const LilvNode* p, const LilvNode* o),
    (w, s, p, o))
  QUILLON_WRAP(
    bool,
    lilv_world_ask,
    (LilvWorld * w, const LilvNode* s, const LilvNode* p, const LilvNode* o),
    (w, s, p, o))
  QUILLON_WRAP(const LilvPort*,
               lilv_plugin_get_port_by_index,
               (const LilvPlugin* p, uint32_t index),
               (p, index))

  // Asking for the port count makes lilv build its port objects, which
  // stay as long as the world: counted apart.
  uint32_t __real_lilv_plugin_get_num_ports(const LilvPlugin* p);
  uint32_t __wrap_lilv_plugin_get_num_ports(const LilvPlugin* p)
  {
    ++lilv_queries;
    ++data_queries;
    ++port_loads;
    return __real_lilv_plugin_get_num_ports(p);
  }
  QUILLON_WRAP(bool,
               lilv_port_is_a,
               (const LilvPlugin* p, const LilvPort* port, const LilvNode* c),
               (p, port, c))
  QUILLON_WRAP(LilvNodes*,
               lilv_port_get_value,
               (const LilvPlugin* p, const LilvPort* port, const LilvNode* n),
               (p, port, n))

  gchar* __real_g_utf8_collate_key(const gchar* text, gssize length);
  gchar* __wrap_g_utf8_collate_key(const gchar* text, gssize length)
  {
    ++collation_keys;
    return __real_g_utf8_collate_key(text, length);
  }
}

namespace quillon {
namespace {

using test::port;

constexpr int plugin_count = 40;

class QueryCount : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (int i = 0; i < plugin_count; ++i)
      fixture.add_simple_plugin(
        "p" + std::to_string(i),
        "urn:q:p" + std::to_string(i),
        "Plugin " + std::to_string(i),
        "lv2:DelayPlugin",
        port(0, "lv2:AudioPort, lv2:InputPort") + " ; " +
          port(1, "lv2:AudioPort, lv2:OutputPort") + " ; " +
          port(2, "lv2:ControlPort, lv2:InputPort"));
    window = std::make_unique<LV2PluginList>();
    test::peer(*window).favorites = { "urn:q:p1", "urn:q:p2" };
    test::peer(*window).blacklist = { "urn:q:p3" };
    test::pump_pending();
    reset_counts();
  }

  static void reset_counts()
  {
    lilv_queries = 0;
    data_queries = 0;
    collation_keys = 0;
    port_loads = 0;
  }

  test::Lv2Fixture fixture;
  std::unique_ptr<LV2PluginList> window;
};

TEST_F(QueryCount, SearchAndViewsAskLilvNothing)
{
  const long marks = long(test::peer(*window).favorites.size() +
                          test::peer(*window).blacklist.size());
  test::peer(*window).search_combo.get_entry()->set_text("plugin 1");
  EXPECT_EQ(lilv_queries, 0);
  EXPECT_LE(collation_keys, marks);

  collation_keys = 0;
  test::peer(*window).fav_button.set_active(true);
  test::peer(*window).bl_button.set_active(true);
  test::peer(*window).bl_button.set_active(false);
  EXPECT_EQ(lilv_queries, 0);
  EXPECT_LE(collation_keys, 3 * marks);
  EXPECT_EQ(test::peer(*window).list_store->children().size(),
            std::size_t(plugin_count - 1));
}

TEST_F(QueryCount, ScanAsksABoundedNumberOfQueriesPerPlugin)
{
  // Without a cache: the full scan.
  std::filesystem::remove_all(catalogue::cache_directory());
  test::peer(*window).refresh_button.clicked();
  ASSERT_FALSE(test::peer(*window).catalogue_cached);
  // The wrappers see the scan's queries at all...
  EXPECT_GE(lilv_queries, long(plugin_count) * 6);
  EXPECT_GE(collation_keys, long(plugin_count) * 2);
  // ...and they stay within their bounds. Name, URI, class, author, project,
  // the port list, and per port its index, symbol and classes and one test
  // for MIDI: 3 ports here.
  EXPECT_LE(lilv_queries, long(plugin_count) * (6 + 3 * 4));
  // Well-formed ports are read without lilv's port objects, which would
  // stay in memory as long as the world.
  EXPECT_EQ(port_loads, 0);
  // One key per URI and one per name (a second only where the scan shows
  // the uncut name, not in this fixture), plus the mark lists.
  EXPECT_LE(collation_keys, long(plugin_count) * 2 + 3);
}

TEST_F(QueryCount, CachedStartAndRefreshAskForNoPluginData)
{
  // Bundles older than the cache's settling time, and a start that keeps
  // their rows.
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  window = std::make_unique<LV2PluginList>();
  ASSERT_FALSE(test::peer(*window).catalogue_cached);

  reset_counts();
  window = std::make_unique<LV2PluginList>();
  EXPECT_TRUE(test::peer(*window).catalogue_cached);
  EXPECT_EQ(data_queries, 0);
  EXPECT_EQ(port_loads, 0);
  // Each plugin's URI, to match the cache with lilv's list.
  EXPECT_LE(lilv_queries, long(plugin_count) + 1);
  // (The new window has no marks.)
  EXPECT_EQ(test::peer(*window).list_store->children().size(),
            std::size_t(plugin_count));

  reset_counts();
  test::peer(*window).refresh_button.clicked();
  EXPECT_TRUE(test::peer(*window).catalogue_cached);
  EXPECT_EQ(data_queries, 0);
  EXPECT_EQ(port_loads, 0);
}

} // namespace
} // namespace quillon
