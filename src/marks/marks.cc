// The favourite and blacklist marks: check-box handlers and list files.

#include "app/plugin_list.h"

#include <gtkmm/main.h>

namespace quillon {

void
LV2PluginList::on_quit()
{
  Gtk::Main::quit();
}

} // namespace quillon
