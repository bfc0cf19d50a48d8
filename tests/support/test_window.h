#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace morel_test {

// A top-level window on a test X server, on its own connection, made to look like whatever
// application a test needs: WM_CLASS, titles, owner pid, EWMH type, colours. It is mapped and
// waited for (viewable, and framed when a window manager runs) before the constructor returns,
// and destroyed with the object.
class TestWindow {
 public:
  struct Options {
    int x = 0;
    int y = 0;
    int width = 200;
    int height = 100;
    int border = 0;
    std::string instance = "test";  // WM_CLASS
    std::string klass = "Test";
    std::optional<std::string> netTitle;  // _NET_WM_NAME, UTF-8
    std::optional<std::string> title;     // WM_NAME, Latin-1
    pid_t pid = -1;                       // _NET_WM_PID; -1 = this process, 0 = none
    std::string type;                     // e.g. "_NET_WM_WINDOW_TYPE_DOCK"; "" = none
    uint32_t background = 0xFFFFFF;       // 0xRRGGBB
    bool overrideRedirect = false;
    bool map = true;
  };

  TestWindow(const std::string& display, const Options& options);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  // True when the window exists and, if it was to be mapped, is viewable.
  bool ok() const { return ok_; }
  Window id() const { return window_; }

  // Paints a rectangle of the window (client coordinates) in 0xRRGGBB and waits for the
  // server to have done it.
  void Fill(int x, int y, int width, int height, uint32_t rgb);
  // Asks the window manager to minimise the window and waits until it is no longer viewable.
  bool Iconify();
  // Asks the window manager to activate (raise and focus) the window.
  void Activate();
  // Destroys the window now.
  void Destroy();

  struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };
  // The client area in root coordinates.
  Box Client() const;
  // The root's child holding the window (the window manager's frame, or the window itself),
  // border included, in root coordinates.
  Box Frame() const;

 private:
  void Create(const Options& options);
  // Polls `condition` every 20 ms, at most `tries` times.
  bool WaitUntil(bool (TestWindow::*condition)() const, int tries = 250) const;
  bool Viewable() const;
  bool Managed() const;
  bool NotViewable() const;

  Display* display_ = nullptr;
  Window window_ = 0;
  bool ok_ = false;
};

}  // namespace morel_test
