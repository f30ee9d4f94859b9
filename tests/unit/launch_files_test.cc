// The checked open of the fixed /tmp paths, against what another local
// user could plant there.

#include "launch/checked_file.h"
#include "support/files.h"

#include <fcntl.h>
#include <filesystem>
#include <glib.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::launch {
namespace {

namespace fs = std::filesystem;

class CheckedFileTest : public ::testing::Test
{
protected:
  CheckedFileTest()
  {
    std::string pattern =
      (fs::temp_directory_path() / "quillon-files-XXXXXX").string();
    if (g_mkdtemp(pattern.data()))
      dir = pattern;
    path = dir + "/state.ttl";
  }
  ~CheckedFileTest() override
  {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  std::string dir;
  std::string path;
};

TEST_F(CheckedFileTest, OwnRegularFileIsUsedAndAbsentIsToldApart)
{
  EXPECT_EQ(open_private_file(path, O_RDONLY).check, FileCheck::absent);

  CheckedFile created = open_private_file(path, O_WRONLY | O_CREAT);
  ASSERT_EQ(created.check, FileCheck::usable) << created.reason;
  EXPECT_TRUE(write_all(created.fd.get(), "written"));
  created = CheckedFile();

  test::write_file(path, "line one\nline two");
  CheckedFile read_back = open_private_file(path, O_RDONLY);
  ASSERT_EQ(read_back.check, FileCheck::usable);
  std::string text;
  EXPECT_TRUE(read_all(read_back.fd.get(), text));
  EXPECT_EQ(text, "line one\nline two");
}

TEST_F(CheckedFileTest, LinksAreRefusedAndTheirTargetsUntouched)
{
  const std::string target = dir + "/precious";
  test::write_file(target, "keep me");
  fs::create_symlink(target, path);
  for (const int flags : { O_RDONLY, O_WRONLY | O_CREAT }) {
    const CheckedFile file = open_private_file(path, flags);
    EXPECT_EQ(file.check, FileCheck::refused);
    EXPECT_FALSE(file.fd);
    EXPECT_FALSE(file.reason.empty());
  }
  fs::remove(path);

  // A dangling link must not create its target either.
  fs::create_symlink(dir + "/created-through-link", path);
  EXPECT_EQ(open_private_file(path, O_WRONLY | O_CREAT).check,
            FileCheck::refused);
  EXPECT_FALSE(fs::exists(dir + "/created-through-link"));
  fs::remove(path);

  // A hard link to one of our files would let a write land in it.
  fs::create_hard_link(target, path);
  EXPECT_EQ(open_private_file(path, O_WRONLY | O_CREAT).check,
            FileCheck::refused);
  EXPECT_EQ(test::read_file(target), "keep me");
}

TEST_F(CheckedFileTest, FifoIsRefusedWithoutBlocking)
{
  ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
  EXPECT_EQ(open_private_file(path, O_RDONLY).check, FileCheck::refused);
  EXPECT_EQ(open_private_file(path, O_WRONLY | O_CREAT).check,
            FileCheck::refused);

  // Also while someone holds it open for reading.
  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(open_private_file(path, O_WRONLY | O_CREAT).check,
            FileCheck::refused);
  close(reader);
}

TEST_F(CheckedFileTest, AnotherUsersFileIsRefusedAndKept)
{
  if (getuid() != 0)
    GTEST_SKIP() << "needs root to plant a file of another user";
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  test::write_file(path, "jalv.gtk\n");
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);

  const CheckedFile read_check = open_private_file(path, O_RDONLY);
  EXPECT_EQ(read_check.check, FileCheck::refused);
  EXPECT_FALSE(read_check.fd);
  EXPECT_EQ(open_private_file(path, O_WRONLY | O_CREAT).check,
            FileCheck::refused);
  EXPECT_EQ(test::read_file(path), "jalv.gtk\n");
}

} // namespace
} // namespace quillon::launch
