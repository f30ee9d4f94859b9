// When a started host counts as a failed launch, and the last lines kept
// of what it printed.

#include "launch/host_outcome.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace quillon::launch {
namespace {

int
exited(int status)
{
  return W_EXITCODE(status, 0);
}

int
signalled(int number)
{
  return W_EXITCODE(0, number);
}

TEST(LaunchFailed, QuickEndsAlwaysBadEndsWhileWatched)
{
  // Ended within 3 s: failed whatever the status, a clean exit included
  // (console jalv reading end of file on /dev/null).
  for (const int status : { exited(0), exited(1), exited(127), signalled(11) })
    EXPECT_TRUE(launch_failed(0, status)) << status;
  EXPECT_TRUE(launch_failed(quick_end_ms - 1, exited(0)));

  // From 3 s to 15 s only a failure status or a signal counts.
  EXPECT_FALSE(launch_failed(quick_end_ms, exited(0)));
  EXPECT_TRUE(launch_failed(quick_end_ms, exited(1)));
  EXPECT_TRUE(launch_failed(watched_ms - 1, exited(139)));
  EXPECT_TRUE(launch_failed(watched_ms - 1, signalled(9)));

  // Later the user closed the plugin, however it ended.
  EXPECT_FALSE(launch_failed(watched_ms, exited(1)));
  EXPECT_FALSE(launch_failed(watched_ms + 60000, signalled(11)));
}

TEST(OutputTail, KeepsTheLastLinesInAnyChunking)
{
  OutputTail tail(3, 100);
  const std::string text = "one\ntwo\nthree\nfour\nfive";
  // Byte by byte gives what one chunk gives.
  for (const char c : text)
    tail.add(&c, 1);
  EXPECT_EQ(tail.text(), "three\nfour\nfive");

  OutputTail whole(3, 100);
  whole.add(text.data(), text.size());
  EXPECT_EQ(whole.text(), "three\nfour\nfive");
  whole.add("\n", 1);
  EXPECT_EQ(whole.text(), "three\nfour\nfive");
}

TEST(OutputTail, BlankAndCarriageReturnLinesDoNotPushWordsOut)
{
  OutputTail tail(2, 100);
  const std::string text =
    "Failed to connect to audio system\n\n\n\r\n50%\r100%\r\n\n";
  tail.add(text.data(), text.size());
  EXPECT_EQ(tail.text(), "50%\n100%");

  OutputTail words(3, 100);
  const std::string jalv = "Plugin:       urn:x\nFailed to connect\n\n\n";
  words.add(jalv.data(), jalv.size());
  EXPECT_EQ(words.text(), "Plugin:       urn:x\nFailed to connect");
  EXPECT_EQ(OutputTail().text(), "");
}

TEST(OutputTail, HugeOutputStaysBounded)
{
  OutputTail tail(10, 50);
  const std::string line(1 << 20, 'x'); // a megabyte without a line feed
  tail.add(line.data(), line.size());
  tail.add(line.data(), line.size());
  EXPECT_EQ(tail.text(), std::string(50, 'x') + "…");
  tail.add("\nlast\n", 6);
  EXPECT_EQ(tail.text(), std::string(50, 'x') + "…\nlast");

  for (int i = 0; i < 100000; ++i)
    tail.add("spam\n", 5);
  tail.add("the end", 7);
  const std::string kept = tail.text();
  EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 9);
  EXPECT_EQ(kept.substr(kept.size() - 12), "spam\nthe end");
}

} // namespace
} // namespace quillon::launch
