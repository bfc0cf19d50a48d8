#include "engine/cleanup/page_ink.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {
namespace {

// A grey image of the given background with a band of the given text colour covering
// `textShare` of its rows, as a line of text would.
PixPtr GreyPage(int background, int text, double textShare) {
  PixPtr pix(pixCreate(200, 100, 8));
  pixSetAllArbitrary(pix.get(), static_cast<l_uint32>(background));
  const int rows = static_cast<int>(100 * textShare);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < 200; ++x) pixSetPixel(pix.get(), x, y, static_cast<l_uint32>(text));
  }
  return pix;
}

TEST(PageInkTest, MostlyDarkMeansAMedianBelowMidGrey) {
  // Dark themes and saturated banners with light text.
  EXPECT_TRUE(MostlyDark(GreyPage(34, 240, 0.3).get()));
  EXPECT_TRUE(MostlyDark(GreyPage(90, 255, 0.45).get()));
  // Dark text on white, cream and light grey, even with much text.
  EXPECT_FALSE(MostlyDark(GreyPage(255, 33, 0.3).get()));
  EXPECT_FALSE(MostlyDark(GreyPage(245, 90, 0.45).get()));
  // Light text covering most of a dark image is a light image.
  EXPECT_FALSE(MostlyDark(GreyPage(20, 230, 0.7).get()));
  // Anything but plain 8 bpp grey, and a missing image, is never judged dark.
  PixPtr colour(pixCreate(10, 10, 32));
  EXPECT_FALSE(MostlyDark(colour.get()));
  EXPECT_FALSE(MostlyDark(nullptr));
  // A single pixel is sampled too.
  PixPtr dot(pixCreate(1, 1, 8));
  EXPECT_TRUE(MostlyDark(dot.get()));
}

}  // namespace
}  // namespace ocr::engine
