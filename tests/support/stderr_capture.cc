#include "support/stderr_capture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace quillon::test {

StderrCapture::StderrCapture()
{
  std::fflush(stderr);
  char name[] = "/tmp/quillon-stderr-XXXXXX";
  file = mkstemp(name);
  if (file < 0)
    throw std::runtime_error("cannot make a file for standard error");
  unlink(name);
  saved = dup(STDERR_FILENO);
  dup2(file, STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
  std::fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  close(file);
}

std::string
StderrCapture::text() const
{
  std::fflush(stderr);
  std::string result;
  char buffer[4096];
  for (off_t at = 0;;) {
    const ssize_t got = pread(file, buffer, sizeof buffer, at);
    if (got <= 0)
      break;
    result.append(buffer, std::size_t(got));
    at += got;
  }
  return result;
}

int
StderrCapture::lines() const
{
  const std::string all = text();
  return int(std::count(all.begin(), all.end(), '\n'));
}

} // namespace quillon::test
