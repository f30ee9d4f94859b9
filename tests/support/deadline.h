#pragma once

namespace quillon::test {

/// While it lives, ends the whole test program with a message once
/// `seconds` have passed: a step that never ends then fails at once rather
/// than at the suite's time limit, and says which step it was.
class Deadline
{
public:
  Deadline(unsigned seconds, const char* what);
  ~Deadline();
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;
};

} // namespace quillon::test
