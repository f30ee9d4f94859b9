// The control FIFO's path, line reader and messages.

#include "control/fifo_path.h"
#include "control/line_reader.h"
#include "control/messages.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillon::control {
namespace {

TEST(FifoPath, EndsInTheUserId)
{
  EXPECT_EQ(fifo_path(0), "/tmp/quillon.fifo0");
  EXPECT_EQ(fifo_path(1000), "/tmp/quillon.fifo1000");
  EXPECT_EQ(fifo_path(4294967294u), "/tmp/quillon.fifo4294967294");
}

TEST(Messages, ExactLinesWithTheirLineFeed)
{
  const std::string own = "PID: 42";
  EXPECT_EQ(classify_line("quit\n", own), Message::quit);
  EXPECT_EQ(classify_line("exit\n", own), Message::exit);
  EXPECT_EQ(classify_line("show\n", own), Message::show);
  EXPECT_EQ(classify_line("hide\n", own), Message::hide);
  EXPECT_EQ(classify_line("systray action\n", own), Message::systray_action);
  EXPECT_EQ(classify_line("quit", own), Message::unknown);
  EXPECT_EQ(classify_line("quit \n", own), Message::unknown);
  EXPECT_EQ(classify_line("QUIT\n", own), Message::unknown);
  EXPECT_EQ(classify_line("\n", own), Message::unknown);
  EXPECT_EQ(classify_line("", own), Message::unknown);
}

TEST(Messages, AnnouncementsAnywhereInTheLine)
{
  const std::string own = "PID: 42";
  EXPECT_EQ(classify_line("PID: 42\n", own), Message::own_announcement);
  EXPECT_EQ(classify_line("PID: 43\n", own), Message::announcement);
  EXPECT_EQ(classify_line("hello PID: 42\n", own), Message::announcement);
  EXPECT_EQ(classify_line("PID: 42 \n", own), Message::announcement);
  // Bytes that are not text are never obeyed.
  EXPECT_EQ(classify_line("\xff PID: 1\n", own), Message::unknown);
  EXPECT_EQ(classify_line(std::string("sh\0ow\n", 6), own), Message::unknown);
  EXPECT_EQ(classify_line(std::string("show\0\n", 6), own), Message::unknown);
}

TEST(Messages, PrintedLinesCannotDriveATerminal)
{
  EXPECT_EQ(printable_line("\x1b[2J\x07hi\n"), "\\x1b[2J\\x07hi\n");
  EXPECT_EQ(printable_line("caf\xc3\xa9 \xff\n"), "caf\xc3\xa9 \\xff\n");
  EXPECT_EQ(printable_line("\xc2\x9b"
                           "31m"),
            "\\xc2\\x9b31m"); // C1 CSI
  EXPECT_EQ(printable_line(std::string("a\0b\x7f", 4)), "a\\x00b\\x7f");
  EXPECT_EQ(printable_line("plain\n"), "plain\n");
}

TEST(OwnerLines, OwnAnswersReadBackAreDroppedOthersObeyed)
{
  OwnerLines lines;
  // Two newcomers answered: the next two "exit" lines are this owner's.
  EXPECT_EQ(lines.react(Message::announcement), Reaction::answer);
  EXPECT_EQ(lines.react(Message::announcement), Reaction::answer);
  EXPECT_EQ(lines.react(Message::exit), Reaction::drop);
  EXPECT_EQ(lines.react(Message::own_announcement), Reaction::show);
  EXPECT_EQ(lines.react(Message::exit), Reaction::drop);
  EXPECT_EQ(lines.outstanding(), 0u);
  // None outstanding: "exit" from another program makes the owner leave.
  EXPECT_EQ(lines.react(Message::exit), Reaction::leave);
  EXPECT_EQ(lines.react(Message::quit), Reaction::quit);
  EXPECT_EQ(lines.react(Message::systray_action), Reaction::systray_action);
  EXPECT_EQ(lines.react(Message::unknown), Reaction::report);
}

TEST(OwnerLines, ExitsLeftByADeadOwnerAreDroppedOnTakeover)
{
  OwnerLines lines;
  lines.set_taking_over(true);
  EXPECT_EQ(lines.react(Message::exit), Reaction::drop);
  EXPECT_EQ(lines.react(Message::exit), Reaction::drop);
  EXPECT_EQ(lines.react(Message::announcement), Reaction::answer);
  lines.set_taking_over(false);
  EXPECT_EQ(lines.react(Message::exit), Reaction::drop);
  EXPECT_EQ(lines.react(Message::exit), Reaction::leave);
}

std::vector<LineReader::Line>
drain(LineReader& reader)
{
  std::vector<LineReader::Line> lines;
  LineReader::Line line;
  while (reader.next(line))
    lines.push_back(line);
  return lines;
}

TEST(LineReader, SplitWritesAndBurstsComeOutAsWholeLinesInOrder)
{
  LineReader reader;
  reader.feed("sh", 2);
  EXPECT_TRUE(drain(reader).empty());
  EXPECT_TRUE(reader.has_partial());
  reader.feed("ow\nhide\nsystray", 15);
  auto lines = drain(reader);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "show\n");
  EXPECT_EQ(lines[1].text, "hide\n");
  reader.feed(" action\n\n", 9);
  lines = drain(reader);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "systray action\n");
  EXPECT_EQ(lines[1].text, "\n");
  EXPECT_FALSE(reader.has_partial());
  const std::string with_nul("a\0b\n", 4);
  reader.feed(with_nul.data(), with_nul.size());
  lines = drain(reader);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, with_nul);
}

TEST(LineReader, LongLinesAreCutOnceAndTheRestDropped)
{
  LineReader reader;
  const std::string long_line(200 * 1024, 'x');
  // Fed in pieces, as the FIFO delivers it.
  for (std::size_t at = 0; at < long_line.size(); at += 4000)
    reader.feed(long_line.data() + at,
                std::min<std::size_t>(4000, long_line.size() - at));
  reader.feed("\nshow\n", 6);
  const auto lines = drain(reader);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].cut);
  EXPECT_EQ(lines[0].text, std::string(LineReader::max_line, 'x'));
  EXPECT_FALSE(lines[1].cut);
  EXPECT_EQ(lines[1].text, "show\n");

  // A line of exactly the limit is whole.
  const std::string full = std::string(LineReader::max_line, 'y') + "\n";
  reader.feed(full.data(), full.size());
  const auto whole = drain(reader);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_FALSE(whole[0].cut);
}

TEST(LineReader, FloodsAreDeliveredCompletely)
{
  LineReader reader;
  std::string flood;
  for (int i = 0; i < 200000; ++i)
    flood += "line " + std::to_string(i) + "\n";
  for (std::size_t at = 0; at < flood.size(); at += 4096)
    reader.feed(flood.data() + at,
                std::min<std::size_t>(4096, flood.size() - at));
  const auto lines = drain(reader);
  ASSERT_EQ(lines.size(), 200000u);
  EXPECT_EQ(lines.front().text, "line 0\n");
  EXPECT_EQ(lines.back().text, "line 199999\n");
}

} // namespace
} // namespace quillon::control
