#pragma once

// What every fuzz target shares: a property check that stops the run with
// the failed condition, and the locale the targets run under.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <glib.h>

/// Aborts with the failed condition, so that libFuzzer keeps the input as a
/// crash artifact; a plain assert would vanish in a release build.
#define FUZZ_CHECK(condition)                                                  \
  do {                                                                         \
    if (!(condition)) {                                                        \
      std::fprintf(stderr,                                                     \
                   "%s:%d: property failed: %s\n",                             \
                   __FILE__,                                                   \
                   __LINE__,                                                   \
                   #condition);                                                \
      std::abort();                                                            \
    }                                                                          \
  } while (false)

namespace quillon::fuzz {

/// The program runs under the user's locale, which is a UTF-8 one on any
/// desktop; C.UTF-8 is the one that every system has. Collation and case
/// mapping depend on it, so every target sets it before the first input.
inline void
use_utf8_locale()
{
  if (!std::setlocale(LC_ALL, "C.UTF-8"))
    std::setlocale(LC_ALL, "C");
}

/// The start of the character after the one at `p` in valid UTF-8: what
/// g_utf8_next_char gives, without its cast that drops the const.
inline const char*
next_character(const char* p)
{
  return p + g_utf8_skip[static_cast<unsigned char>(*p)];
}

} // namespace quillon::fuzz
