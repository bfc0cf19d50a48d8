// The host's screen services on a real X server (Xvfb, openbox where frames matter).

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "actions/displays.h"
#include "actions/windows.h"
#include "host/morel_xy_host.h"
#include "x11_test_fixture.h"

namespace morel_test {
namespace {

using morel_xy::Bitmap;
using morel_xy::Color;
using morel_xy::DisplayInfo;
using morel_xy::Rect;
namespace detail = morel_xy::detail;

// The host's operations on the desktop under test.
class X11ScreenTest : public X11DesktopTest {
 protected:
  const morel_xy::ProcessTable& processes_ = morel_xy::ProcessTable::System();

  std::optional<detail::WindowInfo> ActiveWindow() {
    return detail::GetActiveBrowserWindow(*desktop_, processes_);
  }
  int32_t ApplicationPid(morel_xy::Browser browser) {
    const auto windows = desktop_->ListOnScreenWindows();
    return windows ? detail::GetApplicationPid(*windows, browser, processes_) : -1;
  }
  std::vector<DisplayInfo> DisplayList() { return morel_xy::GetDisplayList(*desktop_); }
  std::optional<DisplayInfo> DisplayNamed(const std::string& name) {
    for (const DisplayInfo& d : DisplayList()) {
      if (d.name == name) return d;
    }
    return std::nullopt;
  }
  std::optional<DisplayInfo> Primary() {
    return morel_xy::MorelXYHost(*desktop_).FindPrimaryDisplay();
  }
  bool OuterRect(Rect& rect) {
    return morel_xy::GetActiveBrowserOuterRect(*desktop_, processes_, rect);
  }
  bool Capture(const DisplayInfo& display, Bitmap& bitmap) {
    for (const morel_xy::DesktopDisplay& candidate : desktop_->ListDisplays()) {
      if (std::to_string(candidate.number) != display.id) continue;
      std::optional<morel_xy::WindowCapture> capture =
          morel_xy::CaptureActiveWindow(*desktop_, processes_, candidate);
      if (!capture) return false;
      bitmap = std::move(capture->bitmap);
      return true;
    }
    return false;
  }
  double Scale() { return morel_xy::GetScreenBackingScaleFactor(*desktop_, processes_); }
};

Color Rgb(uint32_t rgb) {
  return Color{static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
               static_cast<uint8_t>(rgb >> 16)};
}

TEST_F(X11ScreenTest, OneMonitorIsOnePrimaryDisplayAtTheOrigin) {
  Start({.width = 1280, .height = 800});
  OpenDesktop();
  const std::vector<DisplayInfo> list = DisplayList();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(list[0].isPrimary);
  EXPECT_EQ(list[0].name, "screen");  // Xvfb's output; it has no EDID
  EXPECT_EQ(list[0].id, std::to_string(desktop_->ListDisplays().at(0).number));
  EXPECT_EQ(list[0].id.find_first_not_of("0123456789"), std::string::npos);
  EXPECT_EQ(list[0].frame, (Rect{0, 0, 1280, 800}));
  EXPECT_EQ(list[0].visibleFrame, (Rect{0, 0, 1280, 800}));
  EXPECT_EQ(list[0].backingScaleFactor, 1.0);
  EXPECT_EQ(Scale(), 1.0);
}

TEST_F(X11ScreenTest, TwoMonitorsMadeWithXrandr) {
  Start({.width = 1280, .height = 1200});
  Run({"xrandr", "--setmonitor", "bottom", "1280/338x800/212+0+400", "screen"});
  Run({"xrandr", "--setmonitor", "top", "640/169x400/106+320+0", "none"});
  Run({"xrandr", "--output", "screen", "--primary"});
  OpenDesktop();
  const std::vector<DisplayInfo> list = DisplayList();
  ASSERT_EQ(list.size(), 2u);
  const std::optional<DisplayInfo> bottom = DisplayNamed("screen");
  const std::optional<DisplayInfo> top = DisplayNamed("top");
  ASSERT_TRUE(bottom && top);
  EXPECT_TRUE(bottom->isPrimary);
  EXPECT_FALSE(top->isPrimary);
  EXPECT_NE(bottom->id, top->id);
  EXPECT_EQ(bottom->frame, (Rect{0, 0, 1280, 800}));
  // Above the primary display: y counts up from the primary's bottom edge.
  EXPECT_EQ(top->frame, (Rect{320, 800, 640, 400}));
  EXPECT_EQ(morel_xy::MorelXYHost(*desktop_).FindDisplayById(top->id)->name, "top");
  EXPECT_EQ(Primary()->name, "screen");
}

TEST_F(X11ScreenTest, DesktopScaleFromXftDpi) {
  Start({.width = 1280, .height = 800});
  SetDpi(192);
  OpenDesktop();
  EXPECT_EQ(Scale(), 2.0);
  const std::vector<DisplayInfo> list = DisplayList();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].backingScaleFactor, 2.0);
  EXPECT_EQ(list[0].frame, (Rect{0, 0, 640, 400}));

  auto window = MakeWindow(Browser("Chromium", "Scaled", 101, 51, 300, 201));
  Rect rect;
  ASSERT_TRUE(OuterRect(rect));
  EXPECT_EQ(rect, (Rect{50, 25, 150, 100}));  // 50.5, 25.5, 150, 100.5 truncated
}

TEST_F(X11ScreenTest, VisibleFrameFromTheWorkArea) {
  Start({.width = 1280, .height = 800});
  {
    Display* d = XOpenDisplay(server_->display().c_str());
    ASSERT_TRUE(d);
    const long area[8] = {0, 30, 1280, 740, 0, 0, 1280, 800};
    XChangeProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_WORKAREA", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(area), 8);
    XCloseDisplay(d);
  }
  OpenDesktop();
  const std::vector<DisplayInfo> list = DisplayList();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].frame, (Rect{0, 0, 1280, 800}));
  EXPECT_EQ(list[0].visibleFrame, (Rect{0, 30, 1280, 740}));  // 30 at the bottom, 30 at the top
}

TEST_F(X11ScreenTest, BrowserWindowsByClassAndOwnerFrontToBackWithFrames) {
  Start({.width = 1280, .height = 800, .windowManager = true});
  OpenDesktop();
  EXPECT_EQ(ApplicationPid(morel_xy::Browser::Chrome), -1);
  EXPECT_FALSE(ActiveWindow());

  auto chromium = MakeWindow(Browser("Chromium", "Chromium page", 50, 60, 300, 200));
  auto firefox = MakeWindow(Browser("firefox", "Mozilla Firefox", 400, 100, 320, 240));
  TestWindow::Options otherOptions = Browser("XTerm", "terminal", 500, 300, 200, 100);
  otherOptions.pid = getppid();  // another application
  auto other = MakeWindow(otherOptions);

  EXPECT_EQ(ApplicationPid(morel_xy::Browser::Chrome), getpid());
  EXPECT_EQ(ApplicationPid(morel_xy::Browser::Firefox), getpid());

  // The terminal is in front, but only the browsers count; Firefox was mapped last.
  std::optional<detail::WindowInfo> active = ActiveWindow();
  ASSERT_TRUE(active);
  EXPECT_EQ(active->name, "Mozilla Firefox");
  EXPECT_EQ(active->ownerPid, getpid());

  chromium->Activate();
  active = ActiveWindow();
  ASSERT_TRUE(active);
  EXPECT_EQ(active->name, "Chromium page");

  // The outer rectangle is the frame around the client, decorations included.
  const TestWindow::Box frame = chromium->Frame();
  const TestWindow::Box client = chromium->Client();
  EXPECT_GT(frame.height, client.height);  // a title bar
  Rect rect;
  ASSERT_TRUE(OuterRect(rect));
  EXPECT_EQ(rect, (Rect{frame.x, frame.y, frame.width, frame.height}));
  EXPECT_LE(rect.x, client.x);
  EXPECT_LT(rect.y, client.y);
}

TEST_F(X11ScreenTest, MinimisedUntitledAndNonNormalWindowsAreSkipped) {
  Start({.width = 1280, .height = 800, .windowManager = true});
  OpenDesktop();
  auto back = MakeWindow(Browser("Chromium", "The one", 10, 10, 200, 150));
  TestWindow::Options untitled = Browser("Chromium", "", 20, 20, 200, 150);
  untitled.netTitle.reset();
  auto untitledWindow = MakeWindow(untitled);
  TestWindow::Options dock = Browser("Chromium", "A dock", 0, 700, 1280, 40);
  dock.type = "_NET_WM_WINDOW_TYPE_DOCK";
  auto dockWindow = MakeWindow(dock);
  TestWindow::Options menu = Browser("Chromium", "A menu", 30, 30, 100, 100);
  menu.type = "_NET_WM_WINDOW_TYPE_POPUP_MENU";
  menu.overrideRedirect = true;
  auto menuWindow = MakeWindow(menu);
  auto minimised = MakeWindow(Browser("Chromium", "Minimised", 40, 40, 200, 150));
  ASSERT_TRUE(minimised->Iconify());

  std::optional<detail::WindowInfo> active = ActiveWindow();
  ASSERT_TRUE(active);
  EXPECT_EQ(active->name, "The one");

  const auto windows = desktop_->ListOnScreenWindows();
  ASSERT_TRUE(windows);
  bool sawDock = false, sawUntitled = false;
  for (const morel_xy::TopLevelWindow& w : *windows) {
    EXPECT_NE(w.title, "Minimised");
    if (w.title == "A dock") {
      sawDock = true;
      EXPECT_FALSE(w.normal);
    }
    if (w.title.empty()) {
      sawUntitled = true;
      EXPECT_TRUE(w.normal);
    }
  }
  EXPECT_TRUE(sawDock);
  EXPECT_TRUE(sawUntitled);

  // A dialog is a normal-layer window and qualifies; a WM_NAME-only title counts too.
  TestWindow::Options dialog = Browser("Chromium", "", 60, 60, 200, 100);
  dialog.netTitle.reset();
  dialog.title = "Caf\xE9 dialog";  // Latin-1
  dialog.type = "_NET_WM_WINDOW_TYPE_DIALOG";
  auto dialogWindow = MakeWindow(dialog);
  active = ActiveWindow();
  ASSERT_TRUE(active);
  EXPECT_EQ(active->name, "Caf\xC3\xA9 dialog");
}

TEST_F(X11ScreenTest, WithoutWindowManagerTheRootsMappedChildrenTopFirst) {
  Start({.width = 800, .height = 600});
  OpenDesktop();
  TestWindow::Options bordered = Browser("Google-chrome", "Chrome", 10, 20, 100, 50);
  bordered.border = 3;
  auto chrome = MakeWindow(bordered);
  TestWindow::Options hiddenOptions = Browser("Google-chrome", "Unmapped", 0, 0, 50, 50);
  hiddenOptions.map = false;
  auto unmapped = MakeWindow(hiddenOptions);
  TestWindow::Options otherOptions = Browser("Gimp", "Other", 200, 200, 50, 50);
  otherOptions.pid = getppid();
  auto other = MakeWindow(otherOptions);

  const auto windows = desktop_->ListOnScreenWindows();
  ASSERT_TRUE(windows);
  ASSERT_EQ(windows->size(), 2u);
  EXPECT_EQ((*windows)[0].title, "Other");  // mapped last
  EXPECT_EQ((*windows)[1].frame, (morel_xy::PointRect{10, 20, 106, 56}));

  Rect rect;
  ASSERT_TRUE(OuterRect(rect));
  EXPECT_EQ(rect, (Rect{10, 20, 106, 56}));  // border included
}

TEST_F(X11ScreenTest, CaptureIsPixelExact) {
  Start({.width = 800, .height = 600});
  OpenDesktop();
  TestWindow::Options o = Browser("Chromium", "Capture", 100, 50, 64, 40);
  o.background = 0x102030;
  auto window = MakeWindow(o);
  window->Fill(5, 6, 7, 8, 0xFF8000);
  window->Fill(20, 10, 1, 1, 0x00FF01);

  Bitmap bitmap;
  ASSERT_TRUE(Capture(*Primary(), bitmap));
  ASSERT_EQ(bitmap.width, 64);
  ASSERT_EQ(bitmap.height, 40);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 64; ++x) {
      uint32_t expected = 0x102030;
      if (x >= 5 && x < 12 && y >= 6 && y < 14) expected = 0xFF8000;
      if (x == 20 && y == 10) expected = 0x00FF01;
      ASSERT_EQ(bitmap.pixels[static_cast<size_t>(y) * 64 + x], Rgb(expected)) << x << "," << y;
    }
  }
}

TEST_F(X11ScreenTest, CaptureOnAMonitorNotAtTheOrigin) {
  Start({.width = 1280, .height = 800});
  Run({"xrandr", "--setmonitor", "left", "640/169x800/212+0+0", "screen"});
  Run({"xrandr", "--setmonitor", "right", "640/169x800/212+640+0", "none"});
  Run({"xrandr", "--output", "screen", "--primary"});
  OpenDesktop();
  TestWindow::Options o = Browser("firefox", "Right", 700, 100, 50, 30);
  o.background = 0xABCDEF;
  auto window = MakeWindow(o);
  window->Fill(0, 0, 1, 1, 0x010203);

  const std::optional<DisplayInfo> right = DisplayNamed("right");
  const std::optional<DisplayInfo> left = DisplayNamed("screen");
  ASSERT_TRUE(right && left);
  EXPECT_EQ(right->frame, (Rect{640, 0, 640, 800}));
  Bitmap bitmap;
  ASSERT_TRUE(Capture(*right, bitmap));
  ASSERT_EQ(bitmap.width, 50);
  ASSERT_EQ(bitmap.height, 30);
  EXPECT_EQ(bitmap.pixels[0], Rgb(0x010203));
  EXPECT_EQ(bitmap.pixels[1], Rgb(0xABCDEF));
  EXPECT_EQ(bitmap.pixels.back(), Rgb(0xABCDEF));
  // The window does not lie on the left monitor.
  EXPECT_FALSE(Capture(*left, bitmap));
  EXPECT_EQ(bitmap.width, 50);
}

TEST_F(X11ScreenTest, WindowsVanishingMidCallNeverEndTheProcess) {
  Start({.width = 800, .height = 600});
  OpenDesktop();
  auto steady = MakeWindow(Browser("Chromium", "Steady", 0, 0, 300, 200));
  // Browser windows appearing and vanishing as fast as the server allows.
  const pid_t churn = StartWindowChurn(server_->display(), std::chrono::milliseconds(1500),
                                       {10, 10, 100, 100}, std::chrono::microseconds(0));
  ASSERT_GT(churn, 0);
  int answered = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1200);
  while (std::chrono::steady_clock::now() < end) {
    Bitmap bitmap;
    Rect rect;
    if (OuterRect(rect)) ++answered;
    if (Capture(*Primary(), bitmap)) {
      EXPECT_EQ(bitmap.pixels.size(), static_cast<size_t>(bitmap.width) * bitmap.height);
    }
    EXPECT_TRUE(desktop_->ListOnScreenWindows().has_value());
  }
  int status = 0;
  waitpid(churn, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_GT(answered, 0);
  // Afterwards the steady window is found as before.
  std::optional<detail::WindowInfo> active = ActiveWindow();
  ASSERT_TRUE(active);
  EXPECT_EQ(active->name, "Steady");
}

TEST_F(X11ScreenTest, LostServerMakesEveryOperationFailQuietly) {
  Start({.width = 800, .height = 600});
  OpenDesktop();
  auto window = MakeWindow(Browser("Chromium", "Soon gone", 0, 0, 100, 100));
  const std::optional<DisplayInfo> primary = Primary();
  ASSERT_TRUE(primary);
  window.reset();
  server_.reset();  // the X server ends
  EXPECT_TRUE(DisplayList().empty());
  EXPECT_EQ(Scale(), 0.0);
  Rect rect{1, 2, 3, 4};
  EXPECT_FALSE(OuterRect(rect));
  EXPECT_EQ(rect, (Rect{1, 2, 3, 4}));
  Bitmap bitmap;
  EXPECT_FALSE(Capture(*primary, bitmap));
  EXPECT_EQ(ApplicationPid(morel_xy::Browser::Chrome), -1);
}

}  // namespace
}  // namespace morel_test
