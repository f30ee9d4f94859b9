#include "control/fifo_path.h"

#include <locale>
#include <sstream>

namespace quillon::control {

std::string
fifo_path(uid_t uid)
{
  std::ostringstream path;
  path.imbue(std::locale::classic());
  path << "/tmp/quillon.fifo" << static_cast<unsigned long>(uid);
  return path.str();
}

} // namespace quillon::control
