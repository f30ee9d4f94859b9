#pragma once

// Finding the message windows that are up and reading their texts.

#include <gtk/gtk.h>
#include <string>
#include <vector>

namespace quillon::test {

struct Message
{
  GtkWidget* window;
  std::string primary;
  std::string secondary;
};

/// The message windows that are shown.
std::vector<Message>
shown_messages();

} // namespace quillon::test
