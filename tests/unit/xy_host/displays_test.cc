#include "actions/displays.h"

#include <gtest/gtest.h>

#include "desktop/fake/fake_desktop.h"
#include "desktop/fake/fake_process_table.h"
#include "host/morel_xy_host.h"

namespace morel_xy {
namespace {

using detail::WindowAreaOnDisplay;

constexpr int32_t kChrome = 900;

// A display image whose pixel (x, y) has R = x, G = y, B = 7 (low bytes only).
CapturedImage Gradient(int32_t w, int32_t h) {
  CapturedImage image{w, h, static_cast<size_t>(w) * 4 + 8, {}, {0, 0, w, h}};  // rows padded
  image.bgrx.assign(image.bytesPerRow * static_cast<size_t>(h), 0xEE);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* p = image.bgrx.data() + static_cast<size_t>(y) * image.bytesPerRow + 4 * x;
      p[0] = 7;
      p[1] = static_cast<uint8_t>(y);
      p[2] = static_cast<uint8_t>(x);
    }
  }
  return image;
}

class DisplaysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Main display 1440 x 900 points at scale 2 with a panel at its top; a second display
    // above it, shifted right, its work area short of its bottom.
    fake_.displays = {
        DesktopDisplay{1, "Main", true, 2.0, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
        DesktopDisplay{7,
                       "Upper",
                       false,
                       2.0,
                       {200.5, -720.25, 1280.75, 720.25},
                       {200.5, -720.25, 1280.75, 700.9}},
    };
  }

  void PutBrowserAt(PointRect bounds) {
    fake_.windows = {{TopLevelWindow{kChrome, "chromium", "Chromium", true, bounds}}};
  }
  std::optional<WindowCapture> Capture(size_t displayIndex) {
    return CaptureActiveWindow(fake_, processes_, fake_.displays.at(displayIndex));
  }
  double Scale() { return GetScreenBackingScaleFactor(fake_, processes_); }

  FakeDesktop fake_;
  FakeProcessTable processes_;
};

TEST_F(DisplaysTest, ListHasDecimalIdsOnePrimaryAndBottomUpTruncatedFrames) {
  const std::vector<DisplayInfo> list = GetDisplayList(fake_);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].id, "1");
  EXPECT_TRUE(list[0].isPrimary);
  EXPECT_EQ(list[0].name, "Main");
  EXPECT_EQ(list[0].frame, (Rect{0, 0, 1440, 900}));
  EXPECT_EQ(list[0].visibleFrame, (Rect{0, 0, 1440, 875})) << "the panel is at the top";
  EXPECT_EQ(list[1].id, "7");
  EXPECT_FALSE(list[1].isPrimary);
  EXPECT_EQ(list[1].frame, (Rect{200, 900, 1280, 720}));  // above the main display: y > 0
  EXPECT_EQ(list[1].visibleFrame, (Rect{200, 919, 1280, 700}));
  EXPECT_EQ(list[1].backingScaleFactor, 2.0);

  fake_.displays.push_back(
      DesktopDisplay{4294967295u, "", false, 1.5, {-0.9, 1024.5, 1, 1}, {-0.9, 1024.5, 1, 1}});
  const std::vector<DisplayInfo> three = GetDisplayList(fake_);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[2].id, "4294967295");
  EXPECT_EQ(three[2].frame, (Rect{0, -125, 1, 1}));  // below the main display: negative y
  EXPECT_EQ(three[2].backingScaleFactor, 1.5);
}

TEST_F(DisplaysTest, HandlersAnswerTheListAndTheScaleAsFloat) {
  MorelXYHost host(fake_);
  const json list = host.ProcessRequest(MorelXYMethod::GetDisplayList, json()).Json()["result"];
  ASSERT_TRUE(list.is_array());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].dump(),
            R"({"backingScaleFactor":2.0,"frame":{"height":900,"width":1440,"x":0,"y":0},)"
            R"("id":"1","isPrimary":true,"name":"Main",)"
            R"("visibleFrame":{"height":875,"width":1440,"x":0,"y":0}})");
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetScreenBackingScaleFactor, json()).Json().dump(),
            R"({"result":2.0})");
  fake_.displays.clear();
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetDisplayList, json()).Json().dump(),
            R"({"result":[]})");
}

TEST_F(DisplaysTest, WindowAreaIsScaledAndRelativeToTheDisplaysTopLeft) {
  EXPECT_EQ(WindowAreaOnDisplay({100.5, 40, 800, 600}, {0, 0, 1440, 900}, 2.0),
            (PixelRect{201, 80, 1600, 1200}));
  EXPECT_EQ(WindowAreaOnDisplay({300, -700, 400, 300}, {200, -720, 1280, 720}, 2.0),
            (PixelRect{200, 40, 800, 600}));
  EXPECT_EQ(WindowAreaOnDisplay({-1900, 10, 100, 50}, {-1920, -180, 1920, 1080}, 1.5),
            (PixelRect{30, 285, 150, 75}));
}

TEST_F(DisplaysTest, WindowAreaWidensFractionsAndRefusesDegenerateInput) {
  const PointRect display{0, 0, 100, 100};
  EXPECT_EQ(WindowAreaOnDisplay({10.25, 0.75, 10, 10}, display, 2.0), (PixelRect{20, 1, 21, 21}));
  for (double scale : {0.0, -1.0, double(NAN), double(INFINITY)}) {
    EXPECT_EQ(WindowAreaOnDisplay({0, 0, 10, 10}, display, scale), std::nullopt) << scale;
  }
  EXPECT_EQ(WindowAreaOnDisplay({0, 0, 0, 10}, display, 1.0), std::nullopt);
  EXPECT_EQ(WindowAreaOnDisplay({0, 0, -5, 10}, display, 1.0), std::nullopt);
  EXPECT_EQ(WindowAreaOnDisplay({1e300, 0, 10, 10}, display, 1.0), std::nullopt);
  EXPECT_EQ(WindowAreaOnDisplay({NAN, 0, 10, 10}, display, 1.0), std::nullopt);
}

TEST_F(DisplaysTest, CaptureCropsTheWindowOnADisplayNotAtTheOrigin) {
  fake_.displayImages[7] = Gradient(2562, 1441);
  // 99.5 points right of and 20.25 below display 7's top-left corner.
  PutBrowserAt({300, -700, 20, 10});
  const std::optional<WindowCapture> capture = Capture(1);
  ASSERT_TRUE(capture);
  const Bitmap& bitmap = capture->bitmap;
  ASSERT_EQ(fake_.captures.size(), 1u);
  // 199 to 239 across; 40.5 to 60.5 down, widened to whole pixels.
  EXPECT_EQ(fake_.captures[0], (CaptureCall{7, PixelRect{199, 40, 40, 21}}));
  ASSERT_EQ(bitmap.width, 40);
  ASSERT_EQ(bitmap.height, 21);
  ASSERT_EQ(bitmap.pixels.size(), 40u * 21u);
  EXPECT_EQ(bitmap.pixels[0], (Color{7, 40, 199}));
  EXPECT_EQ(bitmap.pixels[20 * 40 + 39], (Color{7, 60, 238}));
}

TEST_F(DisplaysTest, CaptureIsClippedToTheDisplay) {
  fake_.displayImages[1] = Gradient(2880, 1800);
  PutBrowserAt({1400, 880, 100, 100});
  std::optional<WindowCapture> capture = Capture(0);
  ASSERT_TRUE(capture);
  EXPECT_EQ(fake_.captures[0].area, (PixelRect{2800, 1760, 200, 200}));
  EXPECT_EQ(capture->bitmap.width, 80);
  EXPECT_EQ(capture->bitmap.height, 40);
  EXPECT_EQ(capture->offsetX, 0);
  EXPECT_EQ(capture->offsetY, 0);

  // A frame reaching past the display's left and top edges: the capture starts inside it.
  PutBrowserAt({-30.5, -10, 100, 50});
  capture = Capture(0);
  ASSERT_TRUE(capture);
  EXPECT_EQ(fake_.captures[1].area, (PixelRect{-61, -20, 200, 100}));
  EXPECT_EQ(capture->bitmap.width, 139);
  EXPECT_EQ(capture->bitmap.height, 80);
  EXPECT_EQ(capture->offsetX, 61);
  EXPECT_EQ(capture->offsetY, 20);
  EXPECT_EQ(capture->bitmap.pixels[0], (Color{7, 0, 0})) << "the display's own top-left pixel";
}

TEST_F(DisplaysTest, CaptureFailuresLeaveTheBitmapAlone) {
  fake_.displayImages[1] = Gradient(2880, 1800);
  fake_.windows = std::vector<TopLevelWindow>{};  // no browser window
  EXPECT_FALSE(Capture(0));
  PutBrowserAt({2000, 0, 100, 100});  // wholly outside the display
  EXPECT_FALSE(Capture(0));
  PutBrowserAt({10, 10, 100, 100});
  EXPECT_FALSE(Capture(1));  // no image of display 7
  DesktopDisplay gone = fake_.displays[0];
  gone.number = 12;
  EXPECT_FALSE(CaptureActiveWindow(fake_, processes_, gone));
  DesktopDisplay unscaled = fake_.displays[0];
  unscaled.scale = 0;
  EXPECT_FALSE(CaptureActiveWindow(fake_, processes_, unscaled));

  const std::optional<WindowCapture> capture = Capture(0);
  ASSERT_TRUE(capture);
  EXPECT_EQ(capture->bitmap.width, 200);
}

// The scale is that of the display the browser is shown on, whichever display is the main one.
TEST_F(DisplaysTest, ScaleIsTheOneWhereTheBrowserIsShown) {
  fake_.displays[1].scale = 1.25;
  fake_.windows = std::vector<TopLevelWindow>{};
  EXPECT_EQ(Scale(), 2.0) << "no browser: the main display's";
  PutBrowserAt({300, -700, 400, 300});
  EXPECT_EQ(Scale(), 1.25);
  // Across both displays: the one under the window's middle decides.
  PutBrowserAt({1000, -200, 400, 300});
  EXPECT_EQ(Scale(), 1.25);
  PutBrowserAt({1000, -100, 400, 300});
  EXPECT_EQ(Scale(), 2.0);
  PutBrowserAt({5000, 5000, 10, 10});  // on no display
  EXPECT_EQ(Scale(), 2.0);
  fake_.displays.clear();
  EXPECT_EQ(Scale(), 0.0);
}

}  // namespace
}  // namespace morel_xy
