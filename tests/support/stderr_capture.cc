#include "support/stderr_capture.h"

#include "support/files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace quillon::test {

namespace {

/// A fresh private file for the capture; -1 when none can be made.
int
make_capture_file(std::string& path)
{
  for (const std::filesystem::path& directory :
       { std::filesystem::path("/dev/shm"),
         std::filesystem::temp_directory_path() }) {
    std::string name = (directory / "quillon-stderr-XXXXXX").string();
    const int fd = mkstemp(name.data());
    if (fd >= 0) {
      path = name;
      return fd;
    }
  }
  return -1;
}

} // namespace

StderrCapture::StderrCapture()
{
  file = make_capture_file(path);
  if (file < 0) {
    stopped_text = "(standard error not captured: no file for it)";
    return;
  }
  std::fflush(stderr);
  saved = dup(STDERR_FILENO);
  dup2(file, STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
  stop();
}

std::string
StderrCapture::stop()
{
  if (saved >= 0) {
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    saved = -1;
    stopped_text = read_file(path);
  }
  if (file >= 0) {
    close(file);
    file = -1;
    unlink(path.c_str());
  }
  return stopped_text;
}

std::string
StderrCapture::text_so_far() const
{
  if (saved < 0)
    return stopped_text;
  std::fflush(stderr);
  return read_file(path);
}

int
StderrCapture::lines() const
{
  const std::string all = text_so_far();
  return static_cast<int>(std::count(all.begin(), all.end(), '\n'));
}

} // namespace quillon::test
