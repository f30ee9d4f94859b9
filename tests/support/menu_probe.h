#pragma once

// Finding the launch menu that is up and reading or choosing its items.

#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>
#include <string>
#include <vector>

namespace quillon::test {

/// The launch menu that is up, if any: a shown popup holding a menu.
Gtk::Menu*
shown_menu();

/// The shown texts of a menu's items; "-" for a separator.
std::vector<std::string>
item_texts(Gtk::Menu* menu);

/// The item showing `text`; a test failure and null when there is none.
Gtk::MenuItem*
item_of(Gtk::Menu* menu, const std::string& text);

/// Chooses an item the way a click does: the menu pops down, then the
/// item is activated.
void
choose(Gtk::Menu* menu, Gtk::MenuItem* item);

} // namespace quillon::test
