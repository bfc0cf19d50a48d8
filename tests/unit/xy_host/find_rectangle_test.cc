// "find_rectangle" through MorelXYHost::ProcessRequest against a fake desktop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "desktop/fake/fake_desktop.h"
#include "host/morel_xy_host.h"

namespace morel_xy {
namespace {

constexpr int32_t kFirefox = 321;

// A display image of one colour.
CapturedImage Filled(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b) {
  CapturedImage image{w, h, static_cast<size_t>(w) * 4, {}, {0, 0, w, h}};
  image.bgrx.resize(image.bytesPerRow * static_cast<size_t>(h));
  for (size_t i = 0; i < image.bgrx.size(); i += 4) {
    image.bgrx[i] = b;
    image.bgrx[i + 1] = g;
    image.bgrx[i + 2] = r;
  }
  return image;
}

void PaintRgb(CapturedImage& image, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t r,
              uint8_t g, uint8_t b) {
  for (int32_t yy = y; yy < y + h; ++yy) {
    for (int32_t xx = x; xx < x + w; ++xx) {
      uint8_t* p = image.bgrx.data() + static_cast<size_t>(yy) * image.bytesPerRow + 4 * xx;
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

class FindRectangleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(directory_);
    // The main display, and one left of it whose top edge is 220 points lower.
    fake_.displays = {
        DesktopDisplay{5, "Main", true, 2.0, {0, 0, 1000, 800}, {0, 0, 1000, 780}},
        DesktopDisplay{9, "Left", false, 1.0, {-640, 220, 640, 480}, {-640, 220, 640, 480}}};
    fake_.displayImages[5] = Filled(2000, 1600, 250, 250, 250);
    fake_.displayImages[9] = Filled(640, 480, 250, 250, 250);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::string Find(const json& params) {
    return host_.ProcessRequest(MorelXYMethod::FindRectangle, params).Json().dump();
  }
  void PutBrowserAt(PointRect bounds) {
    fake_.windows = {{TopLevelWindow{kFirefox, "firefox", "Firefox", true, bounds}}};
  }

  const std::filesystem::path directory_ =
      std::filesystem::temp_directory_path() / ("find_rectangle_test_" + std::to_string(getpid()));
  const std::filesystem::path screenshot_ = directory_ / "screenshot.bmp";
  FakeDesktop fake_;
  MorelXYHost host_{fake_, screenshot_.string()};
};

TEST_F(FindRectangleTest, FindsTheBlockInPointsRelativeToTheWindow) {
  PutBrowserAt({100, 50, 400, 300});  // pixels 200..1000 x 100..700 of display 5
  // In window pixels the block is at (101, 51), 301 x 21: red on screen, "color" blue first.
  PaintRgb(fake_.displayImages[5], 301, 151, 301, 21, 255, 0, 0);
  EXPECT_EQ(Find({{"color", "#0000FF"}}), R"({"result":{"height":10,"width":150,"x":50,"y":25}})");
  EXPECT_TRUE(std::filesystem::exists(screenshot_));
  EXPECT_EQ(std::filesystem::file_size(screenshot_), 54u + 4u * 800u * 600u);
  // Within the tolerance of 5 per channel, and not beyond it.
  EXPECT_EQ(Find({{"color", "0505FA"}, {"displayId", ""}}),
            R"({"result":{"height":10,"width":150,"x":50,"y":25}})");
  EXPECT_EQ(Find({{"color", "0000F9"}}), R"({"result":{"height":0,"width":0,"x":0,"y":0}})");
}

TEST_F(FindRectangleTest, FindsOnADisplayLeftOfAndAboveTheMainOne) {
  PutBrowserAt({-600, 240, 300, 200});
  PaintRgb(fake_.displayImages[9], 40 + 10, 20 + 30, 40, 20, 0, 255, 0);
  EXPECT_EQ(Find({{"color", "00FF00"}, {"displayId", "9"}}),
            R"({"result":{"height":20,"width":40,"x":10,"y":30}})");
  ASSERT_FALSE(fake_.captures.empty());
  EXPECT_EQ(fake_.captures.back(), (CaptureCall{9, PixelRect{40, 20, 300, 200}}));
}

// A frame reaching past the display's left and top edges is captured from the display's edge,
// and the block is still reported from the frame's corner, where a click computed from it lands.
TEST_F(FindRectangleTest, ABlockIsReportedFromTheFramesCornerWhenTheFrameReachesPastTheDisplay) {
  PutBrowserAt({-51, -20, 400, 300});
  // 100 points right of and 60 below the frame's corner, 30 x 10 points.
  PaintRgb(fake_.displayImages[5], 2 * 49, 2 * 40, 60, 20, 255, 0, 0);
  EXPECT_EQ(Find({{"color", "#0000FF"}}), R"({"result":{"height":10,"width":30,"x":100,"y":60}})");
  EXPECT_EQ(fake_.captures.back(), (CaptureCall{5, PixelRect{-102, -40, 800, 600}}));
  // Nothing found is still the zero rectangle, not the offset.
  EXPECT_EQ(Find({{"color", "#123456"}}), R"({"result":{"height":0,"width":0,"x":0,"y":0}})");
}

TEST_F(FindRectangleTest, DisplayLookupByIdAndPrimary) {
  EXPECT_EQ(host_.FindDisplayById("9")->name, "Left");
  EXPECT_EQ(host_.FindDisplayById("5")->name, "Main");
  EXPECT_EQ(host_.FindDisplayById("05"), std::nullopt);
  EXPECT_EQ(host_.FindDisplayById("9 "), std::nullopt);
  EXPECT_EQ(host_.FindDisplayById(std::string("9\0", 2)), std::nullopt);
  EXPECT_EQ(host_.FindDisplayById(""), std::nullopt);
  EXPECT_EQ(host_.FindPrimaryDisplay()->id, "5");
  fake_.displays[0].main = false;
  EXPECT_EQ(host_.FindPrimaryDisplay(), std::nullopt);
}

TEST_F(FindRectangleTest, UnknownDisplayIsAnErrorAndWrongTypesThrow) {
  PutBrowserAt({0, 0, 10, 10});
  EXPECT_EQ(Find({{"color", "#000000"}, {"displayId", "404"}}),
            R"({"error":["message","Display cannot be found."]})");
  EXPECT_THROW(Find({{"color", "#000000"}, {"displayId", 5}}), json::type_error);
  EXPECT_THROW(Find({{"color", 255}}), json::type_error);
  EXPECT_THROW(Find(json()), json::type_error);
  EXPECT_THROW(Find(json::object()), json::exception);
  fake_.displays.clear();
  EXPECT_EQ(Find({{"color", "#000000"}}), R"({"error":["message","Display cannot be found."]})");
  EXPECT_TRUE(fake_.captures.empty());
}

TEST_F(FindRectangleTest, NoBrowserWindowGivesTheZeroRectangleAndNoFile) {
  fake_.windows = std::vector<TopLevelWindow>{};
  EXPECT_EQ(Find({{"color", "#FAFAFA"}}), R"({"result":{"height":0,"width":0,"x":0,"y":0}})");
  EXPECT_FALSE(std::filesystem::exists(screenshot_));
}

// One request asks the window system once for each list it needs.
TEST_F(FindRectangleTest, OneRequestListsTheDisplaysAndTheWindowsOnce) {
  PutBrowserAt({100, 50, 400, 300});
  Find({{"color", "#FAFAFA"}, {"displayId", "5"}});
  EXPECT_EQ(fake_.displayListings, 1);
  EXPECT_EQ(fake_.windowListings, 1);
}

TEST_F(FindRectangleTest, ZeroScaleDisplayNeverConvertsUndefinedly) {
  fake_.displays[0].scale = 0.0;
  PutBrowserAt({0, 0, 10, 10});
  EXPECT_EQ(Find({{"color", "#FAFAFA"}}), R"({"result":{"height":0,"width":0,"x":0,"y":0}})");
  fake_.displays[0].scale = NAN;
  EXPECT_EQ(Find({{"color", "#FAFAFA"}}), R"({"result":{"height":0,"width":0,"x":0,"y":0}})");
}

}  // namespace
}  // namespace morel_xy
