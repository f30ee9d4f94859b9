// Starts the toolkit before the tests run; run under sandbox.sh.

#include <gtest/gtest.h>
#include <gtkmm/main.h>

// Xlib defines macros (None, Bool) that clash with GoogleTest: it comes last.
// clang-format off
#include <X11/Xlib.h>
// clang-format on

int
main(int argc, char** argv)
{
  XInitThreads();
  testing::InitGoogleTest(&argc, argv);
  Gtk::Main toolkit(argc, argv);
  return RUN_ALL_TESTS();
}
