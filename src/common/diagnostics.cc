#include "common/diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace quillon {

void
diagnostic(const char* format, ...)
{
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}

} // namespace quillon
