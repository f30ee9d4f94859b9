#include "common/number_text.h"

#include <charconv>

namespace quillon {

std::string
number_text(long long value)
{
  // to_chars: a locale-imbued stream per number would cost more than the
  // rest of a tooltip.
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string(digits, end);
}

} // namespace quillon
