// Starts the toolkit before the tests run; run under sandbox.sh.

#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include <X11/Xlib.h>

int
main(int argc, char** argv)
{
  XInitThreads();
  testing::InitGoogleTest(&argc, argv);
  Gtk::Main toolkit(argc, argv);
  return RUN_ALL_TESTS();
}
