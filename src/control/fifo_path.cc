#include "control/fifo_path.h"

#include "common/number_text.h"

namespace quillon::control {

std::string
fifo_path(uid_t uid)
{
  return "/tmp/quillon.fifo" + number_text(static_cast<long long>(uid));
}

} // namespace quillon::control
