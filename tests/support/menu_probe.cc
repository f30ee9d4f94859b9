#include "support/menu_probe.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/label.h>
#include <gtkmm/separatormenuitem.h>

namespace quillon::test {

Gtk::Menu*
shown_menu()
{
  Gtk::Menu* found = nullptr;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* l = toplevels; l; l = l->next) {
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(l->data));
    if (child && GTK_IS_MENU(child) && gtk_widget_get_visible(child) &&
        gtk_widget_get_mapped(GTK_WIDGET(l->data)))
      found = Glib::wrap(GTK_MENU(child));
  }
  g_list_free(toplevels);
  return found;
}

std::vector<std::string>
item_texts(Gtk::Menu* menu)
{
  std::vector<std::string> texts;
  for (Gtk::Widget* child : menu->get_children()) {
    if (dynamic_cast<Gtk::SeparatorMenuItem*>(child)) {
      texts.push_back("-");
    } else if (auto* item = dynamic_cast<Gtk::MenuItem*>(child)) {
      auto* label = dynamic_cast<Gtk::Label*>(item->get_child());
      texts.push_back(label ? label->get_text().raw() : "?");
    }
  }
  return texts;
}

Gtk::MenuItem*
item_of(Gtk::Menu* menu, const std::string& text)
{
  for (Gtk::Widget* child : menu->get_children())
    if (auto* item = dynamic_cast<Gtk::MenuItem*>(child))
      if (auto* label = dynamic_cast<Gtk::Label*>(item->get_child()))
        if (label->get_text() == text)
          return item;
  ADD_FAILURE() << "no item " << text;
  return nullptr;
}

void
choose(Gtk::Menu* menu, Gtk::MenuItem* item)
{
  gtk_menu_shell_activate_item(
    GTK_MENU_SHELL(menu->gobj()), GTK_WIDGET(item->gobj()), TRUE);
}

} // namespace quillon::test
