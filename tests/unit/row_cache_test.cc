// The catalogue cache's file format, its reading and writing on disk, and
// the key that decides when it may be used.

#include "catalogue/cache_file.h"
#include "catalogue/cache_key.h"
#include "catalogue/row_cache.h"
#include "support/files.h"
#include "support/stderr_capture.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <glib.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillon::catalogue {
namespace {

std::vector<PluginRecord>
sample_records()
{
  std::vector<PluginRecord> records(4);
  records[0].uri = "urn:q:delay";
  records[0].named = true;
  records[0].name = "Delay - a long name that the rule cuts";
  records[0].class_label = "Delay";
  records[0].author = Glib::ustring("Ex\xc3\xa4mple <Audio> & Co");
  records[0].ports = { 2, 2, 1, 0 };
  records[1].uri = "urn:q:nameless";
  records[1].class_label = "Plugin";
  records[2].uri = "urn:q:empty-author";
  records[2].named = true;
  records[2].author = Glib::ustring();
  records[2].ports = { 0, 0, 4294967295u, 7 };
  records[3].uri = "urn:q:\xce\xb7\xcf\x87\xce\xbf\xcf\x82";
  records[3].named = true;
  records[3].name = "";
  return records;
}

Digest
key_of(unsigned char seed)
{
  Digest key{};
  for (std::size_t i = 0; i < key.size(); ++i)
    key[i] = static_cast<unsigned char>(seed + 31 * i);
  return key;
}

TEST(CacheFormat, RecordsComeBackExactly)
{
  const auto records = sample_records();
  const ParsedCache parsed =
    parse_cache(encode_cache(key_of(1), records), key_of(1));
  ASSERT_EQ(parsed.verdict, CacheVerdict::usable);
  EXPECT_EQ(parsed.records, records);
  // An empty author is kept apart from no author.
  ASSERT_TRUE(parsed.records[2].author);
  EXPECT_FALSE(parsed.records[1].author);

  const ParsedCache empty = parse_cache(encode_cache(key_of(1), {}), key_of(1));
  EXPECT_EQ(empty.verdict, CacheVerdict::usable);
  EXPECT_TRUE(empty.records.empty());
}

TEST(CacheFormat, AnotherKeyOrVersionIsStaleAndOtherBytesForeign)
{
  const std::string bytes = encode_cache(key_of(1), sample_records());
  EXPECT_EQ(parse_cache(bytes, key_of(2)).verdict, CacheVerdict::stale);
  std::string other_version = bytes;
  other_version[24] = char(cache_format_version + 1);
  EXPECT_EQ(parse_cache(other_version, key_of(1)).verdict, CacheVerdict::stale);
  EXPECT_EQ(parse_cache("[Desktop Entry]\n", key_of(1)).verdict,
            CacheVerdict::foreign);
  EXPECT_EQ(parse_cache(std::string(4096, '\0'), key_of(1)).verdict,
            CacheVerdict::foreign);
}

TEST(CacheFormat, EveryCutAndEveryFlippedBitIsRefused)
{
  const std::string bytes = encode_cache(key_of(1), sample_records());
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    const auto verdict =
      parse_cache(std::string_view(bytes).substr(0, length), key_of(1)).verdict;
    EXPECT_EQ(verdict, CacheVerdict::corrupt) << "cut at " << length;
  }
  for (std::size_t at = 0; at < bytes.size(); ++at)
    for (int bit = 0; bit < 8; ++bit) {
      std::string flipped = bytes;
      flipped[at] = char(flipped[at] ^ (1 << bit));
      EXPECT_NE(parse_cache(flipped, key_of(1)).verdict, CacheVerdict::usable)
        << "bit " << bit << " of byte " << at;
    }
}

TEST(CacheFormat, RecordsReadOnlyAsWritten)
{
  std::string body;
  encode_record(body, sample_records()[0]);
  ASSERT_TRUE(parse_records(body));
  const auto refused = [](std::string bytes) {
    return !parse_records(bytes).has_value();
  };
  std::string unknown_flag = body;
  unknown_flag[0] = char(unknown_flag[0] | 4);
  EXPECT_TRUE(refused(unknown_flag));
  std::string name_without_flag = body;
  name_without_flag[0] = char(name_without_flag[0] & ~1);
  EXPECT_TRUE(refused(name_without_flag));
  std::string author_without_flag = body;
  author_without_flag[0] = char(author_without_flag[0] & ~2);
  EXPECT_TRUE(refused(author_without_flag));
  // The URI's first byte, made a NUL, then an invalid UTF-8 byte.
  std::string nul = body;
  nul[5] = '\0';
  EXPECT_TRUE(refused(nul));
  std::string invalid = body;
  invalid[5] = '\xff';
  EXPECT_TRUE(refused(invalid));
  // A length far beyond the end.
  std::string long_length = body;
  long_length[4] = '\x7f';
  EXPECT_TRUE(refused(long_length));
  EXPECT_TRUE(refused(body + '\x01'));
}

class CacheFiles : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string pattern = fs::temp_directory_path() / "quillon-cache-XXXXXX";
    ASSERT_TRUE(g_mkdtemp(pattern.data()));
    top = pattern;
    directory = top + "/cache/quillon";
  }
  void TearDown() override
  {
    std::error_code ignored;
    fs::remove_all(top, ignored);
  }

  std::string file() const { return directory + "/" + cache_file_name; }

  bool write(const std::vector<PluginRecord>& records, const Digest& key)
  {
    CacheWriter writer(directory, key);
    for (const auto& record : records)
      writer.add(record);
    return writer.commit();
  }

  void put(const std::string& bytes)
  {
    fs::create_directories(directory);
    test::write_file(file(), bytes);
  }

  std::string top;
  std::string directory;
  bool blocked = false;
};

TEST_F(CacheFiles, WrittenPrivatelyAndReadBack)
{
  const auto records = sample_records();
  ASSERT_TRUE(write(records, key_of(1)));
  struct stat status;
  ASSERT_EQ(stat(directory.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0700u);
  ASSERT_EQ(stat(file().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  // Only the cache is left: no temporary file.
  EXPECT_EQ(
    std::distance(fs::directory_iterator(directory), fs::directory_iterator()),
    1);
  EXPECT_EQ(test::read_file(file()), encode_cache(key_of(1), records));

  const test::StderrCapture errors;
  const auto read = read_cache(directory, key_of(1), blocked);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, records);
  EXPECT_FALSE(read_cache(directory, key_of(2), blocked));
  // Missing and stale caches are nothing to report.
  EXPECT_FALSE(read_cache(top + "/none", key_of(1), blocked));
  EXPECT_EQ(errors.text_so_far(), "");
}

TEST_F(CacheFiles, AnOpenDirectoryIsMadePrivate)
{
  fs::create_directories(directory);
  chmod(directory.c_str(), 0755);
  ASSERT_TRUE(write(sample_records(), key_of(1)));
  struct stat status;
  ASSERT_EQ(stat(directory.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0700u);
}

TEST_F(CacheFiles, HostileFilesAreIgnoredWithOneLine)
{
  const auto ignored_with_one_line = [this](const char* what) {
    const test::StderrCapture errors;
    EXPECT_FALSE(read_cache(directory, key_of(1), blocked)) << what;
    EXPECT_EQ(errors.lines(), 1) << what << ": " << errors.text_so_far();
    std::error_code ignored;
    fs::remove_all(file(), ignored);
  };
  put("\x89PNG\r\n\x1a\n random bytes \xff\xfe");
  ignored_with_one_line("random bytes");
  put(encode_cache(key_of(1), sample_records()).substr(0, 100));
  ignored_with_one_line("truncated");

  put(encode_cache(key_of(1), sample_records()));
  fs::rename(file(), directory + "/real");
  fs::create_symlink(directory + "/real", file());
  ignored_with_one_line("a symbolic link");

  fs::create_directories(file());
  ignored_with_one_line("a directory");
  EXPECT_TRUE(blocked);

  ASSERT_EQ(mkfifo(file().c_str(), 0600), 0);
  ignored_with_one_line("a FIFO"); // and no hang: it is never opened

  // A sparse gigabyte of zeros: refused by its size, not read.
  {
    test::write_file(file(), "");
    fs::resize_file(file(), std::uintmax_t(1) << 30);
    const auto start = std::chrono::steady_clock::now();
    ignored_with_one_line("1 GiB of zeros");
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::seconds(2));
  }

  if (geteuid() == 0) {
    const passwd* nobody = getpwnam("nobody");
    ASSERT_TRUE(nobody);
    put(encode_cache(key_of(1), sample_records()));
    ASSERT_EQ(chown(file().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ignored_with_one_line("another user's file");
  }
}

TEST_F(CacheFiles, AFailedWriteKeepsTheOldCacheAndSaysSoOnce)
{
  ASSERT_TRUE(write(sample_records(), key_of(1)));
  // A directory in the file's place cannot be renamed over.
  std::vector<PluginRecord> other = sample_records();
  other.pop_back();
  fs::remove(file());
  fs::create_directories(file() + "/inside");
  {
    const test::StderrCapture errors;
    EXPECT_FALSE(write(other, key_of(2)));
    EXPECT_EQ(errors.lines(), 1) << errors.text_so_far();
  }
  EXPECT_TRUE(fs::is_directory(file()));
  EXPECT_EQ(
    std::distance(fs::directory_iterator(directory), fs::directory_iterator()),
    1);
  // A file where the directory should be: nothing written, one line.
  const std::string occupied = top + "/occupied";
  test::write_file(occupied, "");
  const test::StderrCapture errors;
  CacheWriter writer(occupied + "/quillon", key_of(1));
  writer.add(sample_records()[0]);
  EXPECT_FALSE(writer.commit());
  EXPECT_EQ(errors.lines(), 1) << errors.text_so_far();
}

TEST(CacheDirectory, FollowsXdgCacheHomeOrHome)
{
  const char* old_cache = g_getenv("XDG_CACHE_HOME");
  const std::string saved_cache = old_cache ? old_cache : "";
  const std::string saved_home = g_getenv("HOME");
  setenv("XDG_CACHE_HOME", "/x/cache", 1);
  setenv("HOME", "/x/home", 1);
  EXPECT_EQ(cache_directory(), "/x/cache/quillon");
  // A relative XDG_CACHE_HOME is ignored, as the base directory rules say.
  setenv("XDG_CACHE_HOME", "relative", 1);
  EXPECT_EQ(cache_directory(), "/x/home/.cache/quillon");
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(cache_directory(), "/x/home/.cache/quillon");
  setenv("HOME", saved_home.c_str(), 1);
  if (saved_cache.empty())
    unsetenv("XDG_CACHE_HOME");
  else
    setenv("XDG_CACHE_HOME", saved_cache.c_str(), 1);
}

TEST(CacheKey, SearchPathIsExpandedAsLilvExpandsIt)
{
  const auto environment = [](const char* name) -> const char* {
    if (std::string(name) == "HOME")
      return "/home/u";
    if (std::string(name) == "PLUGINS_2")
      return "/opt/p";
    return nullptr;
  };
  const std::vector<std::string> expected = {
    "/home/u/.lv2", "/opt/p/lv2", "$UNSET/x", "/a/~b",
    "/c/home/u",    "/home/u",    "x$"
  };
  EXPECT_EQ(search_directories(
              "~/.lv2::$PLUGINS_2/lv2:$UNSET/x:/a/~b:/c~:~:x$:", environment),
            expected);
  EXPECT_TRUE(search_directories("", environment).empty());
}

class KeyWalk : public CacheFiles
{
protected:
  void SetUp() override
  {
    CacheFiles::SetUp();
    fs::create_directories(top + "/lv2/a.lv2/sub");
    test::write_file(top + "/lv2/a.lv2/manifest.ttl", "manifest");
    test::write_file(top + "/lv2/a.lv2/a.ttl", "doap:name \"A\"");
    inputs.search_path = top + "/lv2";
    inputs.directories = { top + "/lv2", top + "/missing" };
    inputs.lilv_version = "0.24.14";
  }

  Digest key() const { return fingerprint(inputs).key; }

  KeyInputs inputs;
};

TEST_F(KeyWalk, EveryChangeThatCouldChangeARowChangesTheKey)
{
  const Digest before = key();
  EXPECT_EQ(key(), before);

  // The same size and modification time: only the change time tells.
  const std::string data = top + "/lv2/a.lv2/a.ttl";
  struct stat old_status;
  ASSERT_EQ(stat(data.c_str(), &old_status), 0);
  test::write_file(data, "doap:name \"B\"");
  const timespec times[2] = { old_status.st_atim, old_status.st_mtim };
  ASSERT_EQ(utimensat(AT_FDCWD, data.c_str(), times, 0), 0);
  Digest changed = key();
  EXPECT_NE(changed, before);

  const auto changes = [&](const char* what, const std::function<void()>& f) {
    const Digest previous = key();
    f();
    EXPECT_NE(key(), previous) << what;
  };
  changes("a file added deep inside",
          [&] { test::write_file(top + "/lv2/a.lv2/sub/x.ttl", ""); });
  changes("an empty directory added",
          [&] { fs::create_directories(top + "/lv2/a.lv2/empty"); });
  changes("a bundle renamed",
          [&] { fs::rename(top + "/lv2/a.lv2", top + "/lv2/b.lv2"); });
  changes("a missing directory made",
          [&] { fs::create_directories(top + "/missing/c.lv2"); });
  changes("a bundle linked in", [&] {
    fs::create_directory_symlink(top + "/missing/c.lv2", top + "/lv2/c.lv2");
  });
  changes("LANG", [&] { inputs.lang = "de_DE.UTF-8"; });
  changes("lilv's version", [&] { inputs.lilv_version = "0.26.0"; });
  changes("the search path", [&] { inputs.search_path += ":"; });
  changes("the directories' order",
          [&] { std::swap(inputs.directories[0], inputs.directories[1]); });
  changes("a program file", [&] { inputs.program_files.push_back(data); });
}

TEST_F(KeyWalk, AFreshChangeIsNotSettledAndLinkLoopsEnd)
{
  fs::create_directory_symlink(top + "/lv2", top + "/lv2/a.lv2/loop");
  EXPECT_FALSE(fingerprint(inputs).settled);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_TRUE(fingerprint(inputs).settled);
  test::write_file(top + "/lv2/a.lv2/a.ttl", "again");
  EXPECT_FALSE(fingerprint(inputs).settled);
}

} // namespace
} // namespace quillon::catalogue
