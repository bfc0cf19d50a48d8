// Reading pixels from the windows rather than the root, as under Xwayland (whose root holds
// none), on a private Xvfb where both can be compared.
// clang-format off
// gtest names things None, which Xlib defines as a macro: it goes first.
#include <gtest/gtest.h>
#include "desktop/x11/x11_capture.h"
// clang-format on

#include <stdlib.h>

#include <memory>

#include "test_window.h"
#include "xvfb_server.h"

namespace morel_xy::x11 {
namespace {

using morel_test::TestWindow;
using morel_test::XvfbServer;

uint32_t PixelAt(const CapturedImage& image, int x, int y) {
  const uint8_t* p = image.bgrx.data() + static_cast<size_t>(y) * image.bytesPerRow + 4 * x;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

TEST(X11CaptureTest, WindowsAreReadTopmostFirstAndNothingElse) {
  XvfbServer xvfb;
  ASSERT_TRUE(xvfb.ok()) << xvfb.error();
  setenv("DISPLAY", xvfb.display().c_str(), 1);
  std::unique_ptr<X11Connection> connection = X11Connection::Open();
  ASSERT_NE(connection, nullptr);
  // No window manager: the windows are the root's children, as Xwayland's are. The second is
  // made last, so it is on top where they overlap.
  TestWindow::Options lower;
  lower.x = 10;
  lower.y = 10;
  lower.width = 40;
  lower.height = 30;
  lower.background = 0x112233;
  TestWindow::Options upper = lower;
  upper.x = 30;
  upper.y = 20;
  upper.background = 0x445566;
  TestWindow::Options hidden = lower;
  hidden.x = 0;
  hidden.y = 0;
  hidden.background = 0x778899;
  hidden.map = false;
  TestWindow first(xvfb.display(), lower);
  TestWindow second(xvfb.display(), upper);
  TestWindow unmapped(xvfb.display(), hidden);
  ASSERT_TRUE(first.ok() && second.ok() && unmapped.ok());
  second.Fill(35, 0, 5, 5, 0xFF8000);  // window coordinates: root (65..70, 20..25)

  X11Capture capture(*connection);
  const RootRect area{0, 0, 80, 60};
  const std::optional<CapturedImage> image = capture.CaptureRootAreaFromWindows(area);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->width, 80);
  ASSERT_EQ(image->height, 60);
  EXPECT_EQ(PixelAt(*image, 5, 5), 0x000000u);    // no window: black, not the unmapped one
  EXPECT_EQ(PixelAt(*image, 15, 15), 0x112233u);  // the lower window alone
  EXPECT_EQ(PixelAt(*image, 40, 25), 0x445566u);  // where both are, the upper one
  EXPECT_EQ(PixelAt(*image, 66, 21), 0xFF8000u);  // drawn into the upper window
  EXPECT_EQ(PixelAt(*image, 75, 45), 0x000000u);
  // On Xvfb the root holds the same pixels where windows are.
  const std::optional<CapturedImage> root = capture.CaptureRootArea(RootRect{10, 10, 60, 40});
  ASSERT_TRUE(root);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      if ((x < 40 && y < 30) || (x >= 20 && y >= 10)) {
        ASSERT_EQ(PixelAt(*root, x, y), PixelAt(*image, x + 10, y + 10)) << x << "," << y;
      }
    }
  }
  // An area inside one window: that window's pixels alone.
  const std::optional<CapturedImage> inside =
      capture.CaptureRootAreaFromWindows(RootRect{60, 20, 10, 10});
  ASSERT_TRUE(inside);
  EXPECT_EQ(PixelAt(*inside, 6, 1), 0xFF8000u);
  EXPECT_EQ(PixelAt(*inside, 2, 8), 0x445566u);
  EXPECT_FALSE(connection->IsXwayland());
  EXPECT_EQ(capture.CaptureRootAreaFromWindows(RootRect{0, 0, 0, 10}), std::nullopt);
}

}  // namespace
}  // namespace morel_xy::x11
