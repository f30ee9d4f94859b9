#pragma once

#include <string>

namespace quillon {

/// A count, user id or process id as plain decimal digits, whatever the
/// locale: no grouping, no padding.
std::string
number_text(long long value);

} // namespace quillon
