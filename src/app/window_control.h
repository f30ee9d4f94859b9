#pragma once

namespace quillon {

/// What the process-wide objects (the control FIFO and the hot-key) may do
/// with the main window.
class WindowControl
{
public:
  /// Brings the window up where it was.
  virtual void show_window() = 0;
  /// Hides the window, remembering where it was.
  virtual void hide_window() = 0;
  /// Shows the hidden window, brings forward a shown one that is not the
  /// active window, hides the active one: the tray click.
  virtual void systray_action() = 0;
  /// Takes the window off the screen at once: the process ends next.
  virtual void close_window() = 0;

protected:
  ~WindowControl() = default;
};

} // namespace quillon
