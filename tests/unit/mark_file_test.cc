#include "catalogue/text_rules.h"
#include "marks/mark_file.h"
#include "marks/mark_set.h"
#include "support/files.h"
#include "support/ustring_printer.h"

#include <filesystem>
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace quillon::marks {
namespace {

TEST(MarkFormat, RoundTripKeepsEveryByte)
{
  const std::string bytes =
    "urn:a\r\n\nurn:b\nurn:a\nbad \xff\xfe utf8\nurn:last\n";
  const auto entries = parse_marks(bytes);
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0].raw(), "urn:a\r");
  EXPECT_EQ(entries[1].raw(), "");
  EXPECT_EQ(entries[3].raw(), "urn:a");
  EXPECT_EQ(entries[4].raw(), "bad \xff\xfe utf8");
  EXPECT_EQ(format_marks(entries), bytes);
}

TEST(MarkFormat, LastLineNeedsNoLineFeedAndEmptyFileIsEmpty)
{
  EXPECT_TRUE(parse_marks("").empty());
  const auto entries = parse_marks("urn:a\nurn:b");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1], "urn:b");
  EXPECT_EQ(format_marks(entries), "urn:a\nurn:b\n");
  EXPECT_EQ(parse_marks("\n").size(), 1u);
  EXPECT_EQ(format_marks({}), "");
}

TEST(MarkMembership, InvalidOrDifferentEntriesMatchNothing)
{
  const std::vector<Glib::ustring> marks = { "urn:a\r",
                                             "\xff\xfeurn:b",
                                             "urn:c" };
  EXPECT_FALSE(contains(marks, "urn:a"));
  EXPECT_FALSE(contains(marks, "urn:b"));
  EXPECT_TRUE(contains(marks, "urn:c"));
  const MarkSet set(marks);
  EXPECT_FALSE(set.contains_key(catalogue::collation_key("urn:a")));
  EXPECT_TRUE(set.contains_key(catalogue::collation_key("urn:c")));
}

class ReplaceFile : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string pattern = fs::temp_directory_path() / "quillon-marks-XXXXXX";
    ASSERT_TRUE(g_mkdtemp(pattern.data()));
    directory = pattern;
  }
  void TearDown() override { fs::remove_all(directory); }

  fs::path directory;
};

TEST_F(ReplaceFile, CreatesMissingDirectoriesPrivately)
{
  const fs::path file = directory / "config" / "deeper" / "quillon.conf";
  std::string error;
  ASSERT_TRUE(replace_file(file, "urn:a\n", error)) << error;
  EXPECT_EQ(test::read_file(file), "urn:a\n");
  struct stat info;
  ASSERT_EQ(stat((directory / "config").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(ReplaceFile, KeepsModeAndWritesThroughSymbolicLinks)
{
  const fs::path real = directory / "kept" / "marks";
  fs::create_directories(real.parent_path());
  test::write_file(real, "old\n");
  fs::permissions(real, fs::perms(0640));
  const fs::path link = directory / "quillon.conf";
  fs::create_symlink(real, link);
  std::string error;
  ASSERT_TRUE(replace_file(link, "new\n", error)) << error;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::read_file(real), "new\n");
  EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
  // Nothing is left beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(real.parent_path()),
                          fs::directory_iterator()),
            1);
}

TEST_F(ReplaceFile, ReadErrorsAreReported)
{
  std::string error;
  EXPECT_FALSE(read_file(directory / "missing", error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(read_file(directory, error)); // a directory
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(path_exists(directory));
  EXPECT_FALSE(path_exists(directory / "missing"));
}

} // namespace
} // namespace quillon::marks
