#include "desktop/kwin/logic/screenshot2_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace morel_xy::kwin {
namespace {

// Two rows of two pixels, each row padded to 12 bytes: bytes as KWin writes them for `format`.
ScreenShot2Frame Frame(uint32_t format) {
  return {"raw", 2, 2, 12, format, 1.0};
}

TEST(ScreenShot2ImageTest, EachFourByteFormatComesOutBlueGreenRed) {
  const std::vector<uint8_t> bgra = {10, 20, 30, 255, 40, 50, 60, 255, 0, 0, 0, 0,
                                     70, 80, 90, 255, 1,  2,  3,  255, 0, 0, 0, 0};
  const std::vector<uint8_t> rgba = {30, 20, 10, 255, 60, 50, 40, 255, 0, 0, 0, 0,
                                     90, 80, 70, 255, 3,  2,  1,  255, 0, 0, 0, 0};
  const std::vector<uint8_t> expected = {10, 20, 30, 255, 40, 50, 60, 255,
                                         70, 80, 90, 255, 1,  2,  3,  255};
  for (const uint32_t format : {4u, 5u, 6u, 16u, 17u, 18u}) {
    std::string error;
    const auto image =
        ImageFromScreenShot2(Frame(format), format < 16 ? bgra : rgba, {0, 0, 2, 2}, &error);
    ASSERT_TRUE(image) << format << ": " << error;
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->bytesPerRow, 8u);
    EXPECT_EQ(image->bgrx, expected) << format;
    EXPECT_EQ(image->area, (PixelRect{0, 0, 2, 2}));
  }
}

TEST(ScreenShot2ImageTest, PremultipliedColoursAreDividedBackAndTheAreaIsCut) {
  // Alpha 128: 64 premultiplied is 128 plain; a plain format keeps it as it is.
  const std::vector<uint8_t> bytes = {64, 32, 16, 128, 1, 1, 1, 255, 0, 0, 0, 0,
                                      9,  9,  9,  255, 5, 6, 7, 0,   0, 0, 0, 0};
  std::string error;
  const auto premultiplied = ImageFromScreenShot2(Frame(6), bytes, {0, 0, 1, 1}, &error);
  ASSERT_TRUE(premultiplied) << error;
  EXPECT_EQ(premultiplied->bgrx, (std::vector<uint8_t>{128, 64, 32, 128}));
  const auto plain = ImageFromScreenShot2(Frame(5), bytes, {0, 0, 1, 1}, &error);
  ASSERT_TRUE(plain) << error;
  EXPECT_EQ(plain->bgrx, (std::vector<uint8_t>{64, 32, 16, 128}));
  // The part asked for, clipped to the frame.
  const auto corner = ImageFromScreenShot2(Frame(6), bytes, {1, 1, 5, 5}, &error);
  ASSERT_TRUE(corner) << error;
  EXPECT_EQ(corner->bgrx, (std::vector<uint8_t>{5, 6, 7, 0}));
}

TEST(ScreenShot2ImageTest, RepliesThatDoNotHoldTheirPixelsAreRefused) {
  const std::vector<uint8_t> bytes(24, 0);
  std::string error;
  ScreenShot2Frame png = Frame(5);
  png.type = "png";
  EXPECT_FALSE(ImageFromScreenShot2(png, bytes, {0, 0, 2, 2}, &error));
  EXPECT_FALSE(ImageFromScreenShot2(Frame(3), bytes, {0, 0, 2, 2}, &error));  // 1 byte a pixel
  ScreenShot2Frame narrow = Frame(5);
  narrow.stride = 4;
  EXPECT_FALSE(ImageFromScreenShot2(narrow, bytes, {0, 0, 2, 2}, &error));
  // The last row needs only its pixels, not its padding; one byte fewer is too few.
  EXPECT_TRUE(ImageFromScreenShot2(Frame(5), std::span(bytes).first(20), {0, 0, 2, 2}, &error));
  EXPECT_FALSE(ImageFromScreenShot2(Frame(5), std::span(bytes).first(19), {0, 0, 2, 2}, &error));
  EXPECT_FALSE(ImageFromScreenShot2(Frame(5), bytes, {2, 0, 1, 1}, &error));
  ScreenShot2Frame huge = {"raw", 0x40000000u, 0x40000000u, 0xffffffffu, 5, 1.0};
  EXPECT_FALSE(ImageFromScreenShot2(huge, bytes, {0, 0, 2, 2}, &error));
}

TEST(ScreenShot2ImageTest, TheLogicalRequestCoversEveryDevicePixelOfTheArea) {
  // Scale 1: the area itself, moved by the display's place.
  CaptureRequest one = RequestFor({1600, 0, 1920, 1080}, 1.0, {10, 20, 30, 40});
  EXPECT_EQ(one.x, 1610);
  EXPECT_EQ(one.y, 20);
  EXPECT_EQ(one.width, 30);
  EXPECT_EQ(one.height, 40);
  EXPECT_EQ(one.keep, (PixelRect{0, 0, 30, 40}));
  // Scale 1.5: device pixels 303 x 228 are logical 202 x 152; an area starting mid-unit asks
  // for the unit it starts in and keeps from the pixel it starts at.
  CaptureRequest exact = RequestFor({0, 0, 1066.67, 666.67}, 1.5, {0, 0, 303, 228});
  EXPECT_EQ(exact.width, 202);
  EXPECT_EQ(exact.height, 152);
  CaptureRequest odd = RequestFor({0, 0, 1066.67, 666.67}, 1.5, {4, 7, 10, 10});
  EXPECT_EQ(odd.x, 2);  // device pixel 3 begins logical 2
  EXPECT_EQ(odd.y, 4);  // device pixel 6 begins logical 4
  EXPECT_EQ(odd.keep, (PixelRect{1, 1, 10, 10}));
  EXPECT_GE(odd.width * 1.5, odd.keep.x + 10);
  EXPECT_GE(odd.height * 1.5, odd.keep.y + 10);
}

}  // namespace
}  // namespace morel_xy::kwin
