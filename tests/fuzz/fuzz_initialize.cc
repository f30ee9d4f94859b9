// The start-up every fuzz target shares: libFuzzer calls this once before
// the first input.

#include "fuzz_check.h"

extern "C" int
LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
  quillon::fuzz::use_utf8_locale();
  return 0;
}
