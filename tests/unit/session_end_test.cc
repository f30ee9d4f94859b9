// Signals that end the session: the changed lists are saved once, and the
// main loop is asked to end once, however many signals arrive.

#include "app/session_end.h"
#include "support/files.h"
#include "support/stderr_capture.h"

#include <csignal>
#include <filesystem>
#include <glib.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace quillon {
namespace {

class SessionSignals : public ::testing::Test
{
protected:
  void SetUp() override
  {
    gchar* made = g_dir_make_tmp("session.XXXXXX", nullptr);
    ASSERT_NE(made, nullptr);
    dir = made;
    g_free(made);
  }
  void TearDown() override { fs::remove_all(dir); }

  /// Dispatches what the signals queued, for `ms` milliseconds or until
  /// the loop was asked to end `until_ends` times. GLib hands a signal over
  /// from another thread, so it arrives a little later.
  void pump(int ms = 5000, int until_ends = 1)
  {
    const gint64 deadline = g_get_monotonic_time() + ms * 1000;
    while (ends < until_ends && g_get_monotonic_time() < deadline)
      if (!g_main_context_iteration(nullptr, FALSE))
        g_usleep(1000);
  }

  SessionEnd::ChangedLists lists(std::vector<marks::MarkWrite> writes)
  {
    return [this, writes] {
      ++snapshots;
      return writes;
    };
  }

  fs::path dir;
  int snapshots = 0;
  int ends = 0;
};

TEST_F(SessionSignals, EachSignalSavesTheListsThenEndsTheLoop)
{
  for (int number : { SIGTERM, SIGHUP, SIGINT }) {
    SCOPED_TRACE(number);
    ends = 0;
    const fs::path fav = dir / ("fav" + std::to_string(number));
    SessionEnd session(lists({ { fav, "urn:a\n" } }), [this] { ++ends; });
    std::raise(number);
    pump();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(session.caught_signal(), number);
    EXPECT_EQ(test::read_file(fav), "urn:a\n");
  }
}

TEST_F(SessionSignals, RepeatedSignalsSaveOnceAndEndOnce)
{
  const fs::path fav = dir / "quillon.conf";
  SessionEnd session(lists({ { fav, "urn:a\n" } }), [this] { ++ends; });
  std::raise(SIGTERM);
  pump();
  std::raise(SIGTERM);
  std::raise(SIGHUP);
  pump(300, 2);
  EXPECT_EQ(snapshots, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(session.caught_signal(), SIGTERM);
  // The display-loss path after a signal writes nothing more.
  EXPECT_FALSE(session.save());
  EXPECT_EQ(snapshots, 1);
}

TEST_F(SessionSignals, AFailedSaveIsReportedAndTheRestStillWritten)
{
  test::write_file(dir / "plain", "");
  const fs::path bl = dir / "quillon.back";
  SessionEnd session(
    lists({ { dir / "plain" / "quillon.conf", "urn:a\n" }, { bl, "urn:b\n" } }),
    [this] { ++ends; });
  test::StderrCapture captured;
  std::raise(SIGHUP);
  pump();
  const std::string said = captured.stop();
  EXPECT_EQ(ends, 1);
  EXPECT_NE(said.find("cannot save " + (dir / "plain").string()),
            std::string::npos)
    << said;
  EXPECT_EQ(test::read_file(bl), "urn:b\n");
}

TEST_F(SessionSignals, GoneSessionGivesTheSignalsBack)
{
  {
    SessionEnd session(lists({}), [this] { ++ends; });
  }
  struct sigaction action;
  sigaction(SIGTERM, nullptr, &action);
  EXPECT_EQ(action.sa_handler, SIG_DFL);
}

} // namespace
} // namespace quillon
