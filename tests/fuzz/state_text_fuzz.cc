// The state text rewrite: whatever lilv serialised, the first IRI
// reference is emptied and nothing else changes.

#include "fuzz_check.h"
#include "launch/state_text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

void
check_prefixes()
{
  // The file starts with seven "@prefix name: <IRI> ." lines; the body the
  // rewrite works on comes after them, so they are never touched.
  const std::string prefixes = quillon::launch::state_prefixes;
  std::size_t lines = 0;
  std::size_t start = 0;
  while (start < prefixes.size()) {
    const std::size_t end = prefixes.find('\n', start);
    FUZZ_CHECK(end != std::string::npos);
    const std::string line = prefixes.substr(start, end - start);
    FUZZ_CHECK(line.rfind("@prefix ", 0) == 0);
    FUZZ_CHECK(line.find(": <") != std::string::npos);
    FUZZ_CHECK(line.size() > 3 && line.compare(line.size() - 3, 3, "> .") == 0);
    ++lines;
    start = end + 1;
  }
  FUZZ_CHECK(lines == 7);
}

} // namespace

extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
  check_prefixes();
  return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string result = quillon::launch::empty_first_iri(text);

  const std::size_t open = text.find('<');
  const std::size_t close = text.find('>');
  if (open == std::string::npos || close == std::string::npos || close < open) {
    FUZZ_CHECK(result == text);
  } else {
    // Everything before the "<" and from the ">" on is kept; between them
    // nothing is left.
    FUZZ_CHECK(result.size() == text.size() - (close - open - 1));
    FUZZ_CHECK(result.compare(0, open, text, 0, open) == 0);
    FUZZ_CHECK(result.compare(open, 2, "<>") == 0);
    FUZZ_CHECK(result.compare(
                 open + 1, std::string::npos, text, close, std::string::npos) ==
               0);
  }
  // The result's first IRI is already empty: a second rewrite keeps it.
  FUZZ_CHECK(quillon::launch::empty_first_iri(result) == result);
  return 0;
}
