// Placeholder definitions until the control FIFO and the hot-key land:
// no FIFO, no hot-key.

#include "control/control_fifo.h"
#include "control/global_hot_key.h"

namespace quillon {

ControlFifo::ControlFifo() = default;
ControlFifo::~ControlFifo() = default;

ControlFifo*
ControlFifo::get_instance()
{
  static ControlFifo instance;
  return &instance;
}

void
ControlFifo::send(Glib::IOCondition, Glib::ustring)
{
}

GlobalHotKey::GlobalHotKey() = default;
GlobalHotKey::~GlobalHotKey() = default;

GlobalHotKey*
GlobalHotKey::get_instance()
{
  static GlobalHotKey instance;
  return &instance;
}

} // namespace quillon
