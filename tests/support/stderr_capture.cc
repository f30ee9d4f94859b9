#include "support/stderr_capture.h"

#include "support/files.h"

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
    text = "(standard error not captured: no file for it)";
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
    text = read_file(path);
  }
  if (file >= 0) {
    close(file);
    file = -1;
    unlink(path.c_str());
  }
  return text;
}

} // namespace quillon::test
