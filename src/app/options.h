#pragma once

#include "app/version.h"

#include <glibmm/optioncontext.h>
#include <glibmm/optionentry.h>
#include <glibmm/optiongroup.h>

namespace quillon {

class LV2PluginList;

/// The program's version, shown by --version.
inline constexpr const char* version_text = QUILLON_VERSION;

/// The three command-line options: --systray, --high HIGH, --version.
class Options : public Glib::OptionContext
{
public:
  Options();
  ~Options() override;

  /// Prints the version banner, hides the window and ends the main loop
  /// once it is idle.
  void print_version(LV2PluginList* window);

  Glib::OptionGroup main_group;
  Glib::OptionEntry entry_systray;
  Glib::OptionEntry entry_high;
  Glib::OptionEntry entry_version;
  bool systray = false;
  bool version = false;
  int high = 0;
};

/// The banner --version writes to standard error.
std::string
version_banner();

} // namespace quillon
