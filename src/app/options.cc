#include "app/options.h"

#include "app/plugin_list.h"

#include <cstdio>
#include <glib/gi18n.h>
#include <glibmm/main.h>
#include <gtkmm/main.h>

namespace quillon {

Options::Options()
  : Glib::OptionContext("")
  , main_group("", "", "")
{
  entry_systray.set_short_name('s');
  entry_systray.set_long_name("systray");
  entry_systray.set_description(_("start minimized in systray"));

  entry_high.set_short_name('H');
  entry_high.set_long_name("high");
  entry_high.set_arg_description("HIGH");
  entry_high.set_description(_("start with given high in pixel"));

  entry_version.set_short_name('v');
  entry_version.set_long_name("version");
  entry_version.set_description(_("print version string and exit"));

  main_group.add_entry(entry_systray, systray);
  main_group.add_entry(entry_high, high);
  main_group.add_entry(entry_version, version);
  set_main_group(main_group);
}

Options::~Options() = default;

std::string
version_banner()
{
  // The colour codes make the version bold green on a terminal; the second
  // line resets the colour before the notice.
  std::string banner = "quillon version \x1b[1;32m ";
  banner += version_text;
  banner += " \n \x1b[0m    ";
  banner += "lists LV2 plugins and starts them in a jalv host\n";
  return banner;
}

void
LV2PluginList::apply_command_line(int& argc, char**& argv)
{
  try {
    options.parse(argc, argv);
  } catch (const Glib::OptionError& error) {
    std::fprintf(stderr, "%s\n", error.what().c_str());
  }
  if (options.systray)
    hide();
  if (options.high != 0)
    resize(1, options.high);
  if (options.version)
    options.print_version(this);
}

void
Options::print_version(LV2PluginList* window)
{
  std::fputs(version_banner().c_str(), stderr);
  window->hide();
  Glib::signal_idle().connect_once(sigc::ptr_fun(&Gtk::Main::quit),
                                   Glib::PRIORITY_DEFAULT_IDLE);
}

} // namespace quillon
