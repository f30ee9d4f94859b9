#pragma once

// Collects what the code under test writes to standard error.

#include <string>

namespace quillon::test {

class StderrCapture
{
public:
  StderrCapture();
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  /// Everything written since the capture began.
  std::string text() const;
  /// The number of lines written.
  int lines() const;

private:
  int saved = -1;
  int file = -1;
};

} // namespace quillon::test
