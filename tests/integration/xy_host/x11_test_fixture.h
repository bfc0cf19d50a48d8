#pragma once

// A private X server per test, with the host's X11 desktop opened on it in this process.

// clang-format off
// gtest names a type None, which Xlib defines as a macro: gtest goes first.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#include <stdlib.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "desktop/x11/x11_desktop.h"
#include "test_window.h"
#include "xvfb_server.h"

namespace morel_test {

// Forks a child that, for `duration`, creates, maps and destroys Chromium windows at `where`
// owned (_NET_WM_PID) by this process, over a connection of its own to `display`: windows
// that vanish while the code under test looks at them. Each window stays mapped for `hold`;
// a zero `hold` does not even wait for the server, churning as fast as it allows. Returns the
// child's pid (reap it with waitpid; it exits 0 unless it could not connect).
inline pid_t StartWindowChurn(const std::string& display, std::chrono::milliseconds duration,
                              const TestWindow::Box& where, std::chrono::microseconds hold) {
  const pid_t owner = getpid();
  const pid_t churn = fork();
  if (churn != 0) return churn;
  Display* d = XOpenDisplay(display.c_str());
  if (!d) _exit(1);
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), where.x, where.y,
                                   static_cast<unsigned>(where.width),
                                   static_cast<unsigned>(where.height), 0, 0, 0xFF0000);
    XClassHint hint{const_cast<char*>("chromium"), const_cast<char*>("Chromium")};
    XSetClassHint(d, w, &hint);
    const long pid = owner;
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XStoreName(d, w, "Churn");
    XMapRaised(d, w);
    if (hold.count() > 0) {
      XSync(d, False);
      usleep(static_cast<useconds_t>(hold.count()));
      XDestroyWindow(d, w);
      XSync(d, False);
    } else {
      XFlush(d);
      XDestroyWindow(d, w);
      XFlush(d);
    }
  }
  XCloseDisplay(d);
  _exit(0);
}

class X11DesktopTest : public ::testing::Test {
 protected:
  void Start(XvfbServer::Options options) {
    server_ = std::make_unique<XvfbServer>(options);
    ASSERT_TRUE(server_->ok()) << server_->error();
    setenv("DISPLAY", server_->display().c_str(), 1);
  }
  // Opens the desktop after the server has been set up the way the test wants.
  void OpenDesktop() {
    desktop_ = morel_xy::OpenDesktop(morel_xy::x11::X11_BACKEND);
    ASSERT_TRUE(desktop_);
  }
  void TearDown() override {
    desktop_.reset();
    server_.reset();
  }

  void Run(const std::vector<std::string>& argv) {
    ASSERT_EQ(RunWithDisplay(server_->display(), argv), 0) << argv[0] << " " << argv[1];
  }
  // Sets Xft.dpi in the server's resource database.
  void SetDpi(int dpi) { ASSERT_EQ(SetXftDpi(server_->display(), dpi), 0) << "xrdb"; }
  std::unique_ptr<TestWindow> MakeWindow(TestWindow::Options options) {
    auto window = std::make_unique<TestWindow>(server_->display(), options);
    EXPECT_TRUE(window->ok()) << "window " << options.klass << " \""
                              << options.netTitle.value_or("") << "\"";
    return window;
  }
  static TestWindow::Options Browser(const std::string& klass, const std::string& title, int x,
                                     int y, int width, int height) {
    TestWindow::Options o;
    o.instance = klass == "firefox" ? "Navigator" : "chromium";
    o.klass = klass;
    o.netTitle = title;
    o.x = x;
    o.y = y;
    o.width = width;
    o.height = height;
    return o;
  }

  std::unique_ptr<XvfbServer> server_;
  std::unique_ptr<morel_xy::Desktop> desktop_;
};

}  // namespace morel_test
