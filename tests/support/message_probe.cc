#include "support/message_probe.h"

namespace quillon::test {

std::vector<Message>
shown_messages()
{
  std::vector<Message> found;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* l = toplevels; l; l = l->next) {
    if (!GTK_IS_MESSAGE_DIALOG(l->data) ||
        !gtk_widget_get_visible(GTK_WIDGET(l->data)))
      continue;
    gchar* primary = nullptr;
    gchar* secondary = nullptr;
    g_object_get(
      l->data, "text", &primary, "secondary-text", &secondary, nullptr);
    found.push_back({ GTK_WIDGET(l->data),
                      primary ? primary : "",
                      secondary ? secondary : "" });
    g_free(primary);
    g_free(secondary);
  }
  g_list_free(toplevels);
  return found;
}

} // namespace quillon::test
