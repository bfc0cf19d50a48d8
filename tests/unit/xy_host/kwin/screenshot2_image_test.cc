#include "desktop/kwin/logic/screenshot2_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace morel_xy::kwin {
namespace {

// Two rows of two pixels, each row padded to 12 bytes.
ScreenShot2Frame Frame(uint32_t format) {
  return {"raw", 2, 2, 12, format};
}

TEST(ScreenShot2ImageTest, EachFormatComesOutBlueGreenRedPremultipliedOnesDividedBack) {
  // Alpha 128 on the first pixel: 64 premultiplied is 128 plain.
  const std::vector<uint8_t> bgra = {64, 20, 30, 128, 40, 50, 60, 255, 0, 0, 0, 0,
                                     70, 80, 90, 255, 1,  2,  3,  255, 0, 0, 0, 0};
  std::vector<uint8_t> rgba = bgra;
  for (size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
  const std::vector<uint8_t> plain = {64, 20, 30, 128, 40, 50, 60, 255,
                                      70, 80, 90, 255, 1,  2,  3,  255};
  std::vector<uint8_t> divided = plain;
  divided[0] = 128, divided[1] = 40, divided[2] = 60;
  for (const uint32_t format : {4u, 5u, 6u, 16u, 17u, 18u}) {
    std::string error;
    const auto image =
        ImageFromScreenShot2(Frame(format), format < 16 ? bgra : rgba, {0, 0, 2, 2}, &error);
    ASSERT_TRUE(image) << format << ": " << error;
    EXPECT_EQ(image->bytesPerRow, 8u);
    EXPECT_EQ(image->bgrx, format == 6 || format == 18 ? divided : plain) << format;
  }
  // The part asked for, clipped to the frame.
  std::string error;
  const auto corner = ImageFromScreenShot2(Frame(5), bgra, {1, 1, 5, 5}, &error);
  ASSERT_TRUE(corner) << error;
  EXPECT_EQ(corner->bgrx, (std::vector<uint8_t>{1, 2, 3, 255}));
  EXPECT_EQ(corner->area, (PixelRect{0, 0, 1, 1}));
}

TEST(ScreenShot2ImageTest, RepliesThatDoNotHoldTheirPixelsAreRefused) {
  const std::vector<uint8_t> bytes(24, 0);
  std::string error;
  EXPECT_FALSE(ImageFromScreenShot2({"png", 2, 2, 12, 5}, bytes, {0, 0, 2, 2}, &error));
  EXPECT_FALSE(ImageFromScreenShot2(Frame(3), bytes, {0, 0, 2, 2}, &error));  // 1 byte a pixel
  EXPECT_FALSE(ImageFromScreenShot2({"raw", 2, 2, 4, 5}, bytes, {0, 0, 2, 2}, &error));
  // The last row needs only its pixels, not its padding; one byte fewer is too few.
  EXPECT_TRUE(ImageFromScreenShot2(Frame(5), std::span(bytes).first(20), {0, 0, 2, 2}, &error));
  EXPECT_FALSE(ImageFromScreenShot2(Frame(5), std::span(bytes).first(19), {0, 0, 2, 2}, &error));
  EXPECT_FALSE(ImageFromScreenShot2(Frame(5), bytes, {2, 0, 1, 1}, &error));
}

TEST(ScreenShot2ImageTest, TheLogicalRequestCoversEveryDevicePixelOfTheArea) {
  const CaptureRequest one = RequestFor({1600, 0, 1920, 1080}, 1.0, {10, 20, 30, 40});
  EXPECT_EQ((std::vector<int64_t>{one.x, one.y, one.width, one.height}),
            (std::vector<int64_t>{1610, 20, 30, 40}));
  EXPECT_EQ(one.keep, (PixelRect{0, 0, 30, 40}));
  // Scale 1.5: an area starting mid-unit asks for the unit it starts in (device pixel 3
  // begins logical 2, pixel 6 logical 4) and keeps from the pixel it starts at.
  const CaptureRequest odd = RequestFor({0, 0, 1066.67, 666.67}, 1.5, {4, 7, 10, 10});
  EXPECT_EQ((std::vector<int64_t>{odd.x, odd.y, odd.width, odd.height}),
            (std::vector<int64_t>{2, 4, 8, 8}));
  EXPECT_EQ(odd.keep, (PixelRect{1, 1, 10, 10}));
}

}  // namespace
}  // namespace morel_xy::kwin
