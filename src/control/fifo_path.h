#pragma once

#include <string>
#include <sys/types.h>

namespace quillon::control {

/// The control FIFO of a user: "/tmp/quillon.fifo" and the user id.
std::string
fifo_path(uid_t uid);

} // namespace quillon::control
