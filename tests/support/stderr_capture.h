#pragma once

// What the program writes on standard error, descriptor 2 itself, so that
// the diagnostics of the program, of lilv and of the hosts it starts are
// all caught.

#include <string>

namespace quillon::test {

/// From its making until stop(), standard error goes to a file, kept in
/// /dev/shm where there is one: a test that fills /tmp must still see what
/// was written.
class StderrCapture
{
public:
  StderrCapture();
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  /// Gives standard error back and returns what was written to it; later
  /// calls return the same text.
  std::string stop();
  /// What was written so far, while the capture goes on.
  std::string text_so_far() const;
  /// The number of lines written so far.
  int lines() const;

private:
  int file = -1;
  int saved = -1;
  std::string path;
  std::string stopped_text;
};

} // namespace quillon::test
