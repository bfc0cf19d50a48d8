#include "engine/cleanup/ruled_page.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/cleanup/page_ink.h"
#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {
namespace {

constexpr uint32_t kWhite = 0xffffffff;  // the low byte as a decoder leaves it: opaque
constexpr uint32_t kInk = 0x202020ff;
constexpr uint32_t kDarkBackground = 0x222222ff;
constexpr uint32_t kLightInk = 0xf0f0f0ff;

// A 32 bpp page of the given background.
PixPtr Page(int width, int height, uint32_t background) {
  PixPtr pix(pixCreate(width, height, 32));
  pixSetAllArbitrary(pix.get(), background);
  return pix;
}

void Fill(Pix* pix, int x, int y, int w, int h, uint32_t colour) {
  Box* box = boxCreate(x, y, w, h);
  pixSetInRectArbitrary(pix, box, colour);
  boxDestroy(&box);
}

// Text stand-ins: letter-sized blocks with counters, so no stroke is long or thin.
void Letters(Pix* pix, int x, int y, int count, int size, uint32_t colour, uint32_t background) {
  for (int i = 0; i < count; ++i) {
    const int left = x + i * (size + size / 2);
    Fill(pix, left, y, size, size, colour);
    Fill(pix, left + 2, y + 2, size - 4, size - 4, background);
  }
}

uint32_t At(Pix* pix, int x, int y) {
  l_uint32 value = 0;
  pixGetPixel(pix, x, y, &value);
  return value;
}

bool Same(Pix* a, Pix* b, int x, int y, int w, int h) {
  for (int yy = y; yy < y + h; ++yy) {
    for (int xx = x; xx < x + w; ++xx) {
      if (At(a, xx, yy) != At(b, xx, yy)) return false;
    }
  }
  return true;
}

// A table of 3 x 3 cells, each 160 x 40 at 96 DPI, rules `rule` pixels wide, letters 4 pixels
// inside every cell.
PixPtr Table(uint32_t background, uint32_t ink, int rule) {
  PixPtr page = Page(600, 200, background);
  for (int r = 0; r <= 3; ++r) Fill(page.get(), 40, 20 + 40 * r, 480 + rule, rule, ink);
  for (int c = 0; c <= 3; ++c) Fill(page.get(), 40 + 160 * c, 20, rule, 120 + rule, ink);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c)
      Letters(page.get(), 45 + 160 * c, 25 + 40 * r, 5, 9, ink, background);
  }
  return page;
}

TEST(RuledPageTest, TableRulesGoAndTheTextInTheCellsStays) {
  for (const bool dark : {false, true}) {
    const uint32_t background = dark ? kDarkBackground : kWhite;
    const uint32_t ink = dark ? kLightInk : kInk;
    PixPtr page = Table(background, ink, 1);
    RuledPageFindings counts;
    PixPtr cleared = ClearRulesAndBoxes(page.get(), 96, &counts);
    ASSERT_TRUE(cleared) << dark;
    EXPECT_TRUE(counts.lines);
    // Rules, their crossings and the table's corners take the background.
    for (const auto& [x, y] : {std::pair{100, 20}, {40, 80}, {200, 60}, {40, 20}, {520, 140}}) {
      EXPECT_EQ(At(cleared.get(), x, y), background) << x << "," << y << " dark " << dark;
    }
    // Every letter, 4 pixels from the rules, is untouched.
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(Same(page.get(), cleared.get(), 44 + 160 * c, 24 + 40 * r, 60, 12))
            << r << "," << c << " dark " << dark;
      }
    }
  }
}

TEST(RuledPageTest, PrintRulesAtThreeHundredDpiAreFoundOnTheSubsampledInk) {
  // One CSS pixel printed at 300 DPI is three pixels wide.
  PixPtr page = Page(1800, 600, kWhite);
  for (int r = 0; r <= 3; ++r) Fill(page.get(), 120, 60 + 120 * r, 1440, 3, kInk);
  for (int c = 0; c <= 3; ++c) Fill(page.get(), 120 + 480 * c, 60, 3, 363, kInk);
  Letters(page.get(), 135, 80, 6, 28, kInk, kWhite);
  PixPtr cleared = ClearRulesAndBoxes(page.get(), 300);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(At(cleared.get(), 700, 61), kWhite);
  EXPECT_EQ(At(cleared.get(), 601, 300), kWhite);
  EXPECT_EQ(At(cleared.get(), 121, 61), kWhite);
  EXPECT_TRUE(Same(page.get(), cleared.get(), 130, 75, 300, 40));
}

TEST(RuledPageTest, StrokesOfTextAreNeverTakenForRules) {
  // Dashes and bars as long and thin as those of 32 px text, blocks of letters, and nothing
  // else: the page is recognised as it is.
  for (const bool dark : {false, true}) {
    const uint32_t background = dark ? kDarkBackground : kWhite;
    const uint32_t ink = dark ? kLightInk : kInk;
    PixPtr page = Page(700, 300, background);
    Letters(page.get(), 20, 20, 20, 12, ink, background);
    Fill(page.get(), 20, 60, 96, 3, ink);   // three em dashes of 32 px text, touching
    Fill(page.get(), 150, 60, 2, 42, ink);  // "|" of 32 px text
    Fill(page.get(), 170, 60, 4, 30, ink);  // "l" of bold 40 px text
    // "[ ]" of 32 px text: bars and a stem next to each other, not a frame.
    Fill(page.get(), 220, 60, 2, 40, ink);
    Fill(page.get(), 220, 60, 10, 2, ink);
    Fill(page.get(), 220, 98, 10, 2, ink);
    Fill(page.get(), 250, 60, 2, 40, ink);
    Fill(page.get(), 242, 60, 10, 2, ink);
    Fill(page.get(), 242, 98, 10, 2, ink);
    // Underscores run together, 80 px: a fill-in blank, shorter than a rule.
    Fill(page.get(), 300, 90, 80, 2, ink);
    // A small box glyph of 24 px text.
    Fill(page.get(), 420, 60, 16, 16, ink);
    Fill(page.get(), 422, 62, 12, 12, background);
    EXPECT_FALSE(ClearRulesAndBoxes(page.get(), 96)) << dark;
  }
}

TEST(RuledPageTest, FieldAndButtonFramesGoEvenWithRoundedCorners) {
  PixPtr page = Page(500, 200, kWhite);
  // A field frame 260 x 30 and a button 80 x 32 (shorter than a rule), rounded corners cut
  // off by two pixels, and text inside each.
  for (const auto& [x, y, w, h] : {std::tuple{20, 20, 260, 30}, {300, 20, 80, 32}}) {
    Fill(page.get(), x + 2, y, w - 4, 1, kInk);
    Fill(page.get(), x + 2, y + h - 1, w - 4, 1, kInk);
    Fill(page.get(), x, y + 2, 1, h - 4, kInk);
    Fill(page.get(), x + w - 1, y + 2, 1, h - 4, kInk);
    Fill(page.get(), x + 1, y + 1, 1, 1, kInk);
    Fill(page.get(), x + w - 2, y + h - 2, 1, 1, kInk);
    Letters(page.get(), x + 9, y + 9, 3, 10, kInk, kWhite);
  }
  RuledPageFindings counts;
  PixPtr cleared = ClearRulesAndBoxes(page.get(), 96, &counts);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(counts.frames, 2);
  for (const auto& [x, y] : {std::pair{300, 40},
                             {379, 40},
                             {340, 20},
                             {340, 51},
                             {301, 21},
                             {20, 30},
                             {279, 30},
                             {150, 20},
                             {150, 49}}) {
    EXPECT_EQ(At(cleared.get(), x, y), kWhite) << x << "," << y;
  }
  EXPECT_TRUE(Same(page.get(), cleared.get(), 28, 28, 45, 12));
  EXPECT_TRUE(Same(page.get(), cleared.get(), 308, 28, 45, 12));
}

TEST(RuledPageTest, AFilledButtonIsRepaintedWithItsTextDarkOnLight) {
  PixPtr page = Page(400, 120, kWhite);
  Fill(page.get(), 40, 30, 130, 32, 0x1a56c8ff);                                  // a blue button
  for (int i = 0; i < 4; ++i) Fill(page.get(), 50 + 28 * i, 40, 14, 12, kWhite);  // its text
  // A bold "D": one counter, taller than wide: text, not a box.
  Fill(page.get(), 250, 20, 40, 60, kInk);
  Fill(page.get(), 262, 32, 16, 36, kWhite);
  RuledPageFindings counts;
  PixPtr cleared = ClearRulesAndBoxes(page.get(), 96, &counts);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(counts.filledBoxes, 1);
  // The button's own colour becomes the page's background, its text the ink.
  EXPECT_GE(At(cleared.get(), 45, 35) >> 24, 0xf0u);
  EXPECT_LE(At(cleared.get(), 55, 45) >> 24, 0x20u);
  EXPECT_TRUE(Same(page.get(), cleared.get(), 250, 20, 40, 60));
}

TEST(RuledPageTest, TheGapsBetweenLightLettersOfADarkBandAreNotRules) {
  // A dark band across a light page, its light letters 2 px apart in two tight lines: the
  // dark gaps between them run the band's height and width, as long and thin as rules.
  PixPtr page = Page(600, 300, kWhite);
  Fill(page.get(), 0, 100, 600, 80, kDarkBackground);
  for (const int top : {116, 148}) {
    for (int x = 20; x + 10 < 580; x += 12) {
      Fill(page.get(), x, top, 10, 16, kLightInk);
      Fill(page.get(), x + 3, top + 4, 4, 8, kDarkBackground);
    }
  }
  RuledPageFindings counts;
  PixPtr cleared = ClearRulesAndBoxes(page.get(), 96, &counts);
  ASSERT_TRUE(cleared);
  EXPECT_FALSE(counts.lines);
  EXPECT_EQ(counts.filledBoxes, 1);
  // Repainted dark on light: the gaps between letters and lines take the page's background,
  // and the letters' strokes its ink.
  for (int x = 30; x + 10 < 580; x += 12) {
    EXPECT_GE(At(cleared.get(), x + 1, 120) >> 24, 0xf0u) << x;
    EXPECT_GE(At(cleared.get(), x + 1, 140) >> 24, 0xf0u) << x;
    EXPECT_LE(At(cleared.get(), x - 9, 120) >> 24, 0x20u) << x;
  }
}

TEST(RuledPageTest, AnUnderlineTheLettersStandOnIsLeftWithThem) {
  // A link 300 px long: its letters stand on the underline, a descender crosses it.
  PixPtr page = Page(400, 100, kWhite);
  for (int x = 20; x + 10 < 320; x += 14) Fill(page.get(), x, 30, 10, 20, 0x0000eeff);
  Fill(page.get(), 160, 30, 3, 30, 0x0000eeff);
  Fill(page.get(), 20, 50, 300, 2, 0x0000eeff);
  RuledPageFindings counts;
  EXPECT_FALSE(ClearRulesAndBoxes(page.get(), 96, &counts));
  EXPECT_FALSE(counts.lines);
  // The same line 3 px below the letters is a rule, and goes.
  PixPtr ruled = Page(400, 100, kWhite);
  for (int x = 20; x + 10 < 320; x += 14) Fill(ruled.get(), x, 30, 10, 20, kInk);
  Fill(ruled.get(), 20, 53, 300, 2, kInk);
  PixPtr cleared = ClearRulesAndBoxes(ruled.get(), 96, &counts);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(At(cleared.get(), 100, 53), kWhite);
  EXPECT_TRUE(Same(ruled.get(), cleared.get(), 20, 30, 300, 20));
}

// An outline of stroke `stroke` around the rectangle, its ends rounded into half discs.
void Pill(Pix* pix, int x, int y, int w, int h, int stroke, uint32_t colour) {
  const double r = h / 2.0;
  for (int yy = y; yy < y + h; ++yy) {
    for (int xx = x; xx < x + w; ++xx) {
      const double cx = std::clamp(xx + 0.5, x + r, x + w - r);
      const double d = std::hypot(xx + 0.5 - cx, yy + 0.5 - (y + r));
      if (d <= r && d > r - stroke) pixSetPixel(pix, xx, yy, colour);
    }
  }
}

TEST(RuledPageTest, APillsOutlineGoesAndItsLabelStaysWhereARingWithNothingInsideStays) {
  PixPtr page = Page(500, 200, kWhite);
  Letters(page.get(), 40, 30, 6, 9, kInk, kWhite);  // body text: the typical letter
  Pill(page.get(), 40, 80, 90, 28, 1, 0x7890c8ff);  // a chip, shorter than any rule
  Letters(page.get(), 54, 89, 5, 9, kInk, kWhite);  // its label
  Pill(page.get(), 300, 60, 40, 40, 2, kInk);       // a large thin "O", enclosing nothing
  RuledPageFindings found;
  PixPtr cleared = ClearRulesAndBoxes(page.get(), 96, &found);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(found.drawings, 1);
  EXPECT_EQ(At(cleared.get(), 85, 80), kWhite);  // the top of the outline
  EXPECT_EQ(At(cleared.get(), 40, 94), kWhite);  // its rounded left end
  EXPECT_TRUE(Same(page.get(), cleared.get(), 50, 85, 70, 18));
  EXPECT_TRUE(Same(page.get(), cleared.get(), 290, 50, 60, 60));
}

TEST(RuledPageTest, TheByteBelowTheColoursIsKept) {
  // Tesseract thresholds the fourth byte of a 32 bpp pixel like a colour: a repainted pixel
  // whose fourth byte differs from its neighbours' would turn into a speck of ink.
  PixPtr page = Table(kWhite, kInk, 1);
  PixPtr cleared = ClearRulesAndBoxes(page.get(), 96);
  ASSERT_TRUE(cleared);
  for (int y = 0; y < pixGetHeight(cleared.get()); ++y) {
    for (int x = 0; x < pixGetWidth(cleared.get()); ++x) {
      ASSERT_EQ(At(cleared.get(), x, y) & 0xff, 0xffu) << x << "," << y;
    }
  }
}

TEST(RuledPageTest, GreyAndOneBitImagesAreClearedToo) {
  PixPtr colour = Table(kWhite, kInk, 1);
  PixPtr grey(pixConvertRGBToLuminance(colour.get()));
  PixPtr cleared = ClearRulesAndBoxes(grey.get(), 96);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(pixGetDepth(cleared.get()), 8);
  EXPECT_EQ(At(cleared.get(), 100, 20), 0xffu);
  PixPtr binary(pixThresholdToBinary(grey.get(), 128));
  cleared = ClearRulesAndBoxes(binary.get(), 96);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(pixGetDepth(cleared.get()), 8);
  EXPECT_EQ(At(cleared.get(), 100, 20), 0xffu);
}

TEST(RuledPageTest, InkFoundBeforehandClearsTheSameWay) {
  PixPtr colour = Table(kWhite, kInk, 1);
  PixPtr grey(pixConvertRGBToLuminance(colour.get()));
  PixPtr binary(pixThresholdToBinary(grey.get(), 128));
  for (Pix* image : {colour.get(), grey.get(), binary.get()}) {
    const int depth = pixGetDepth(image);
    PixPtr direct = ClearRulesAndBoxes(image, 96);
    PixPtr withInk = ClearRulesAndBoxes(image, FindPageInk(image, 96));
    ASSERT_TRUE(direct) << depth;
    ASSERT_TRUE(withInk) << depth;
    l_int32 same = 0;
    pixEqual(direct.get(), withInk.get(), &same);
    EXPECT_TRUE(same) << depth;
  }
  // Ink found at no resolution clears nothing.
  EXPECT_FALSE(ClearRulesAndBoxes(grey.get(), FindPageInk(grey.get(), 0)));
}

TEST(RuledPageTest, ATypicalLetterIsTheMedianLetterHeight) {
  PixPtr page = Page(600, 100, kWhite);
  Letters(page.get(), 10, 10, 20, 7, kInk, kWhite);  // most letters: 7 px
  Letters(page.get(), 10, 40, 5, 11, kInk, kWhite);  // a few taller ones
  Fill(page.get(), 10, 80, 500, 2, kInk);            // a rule is no letter
  EXPECT_EQ(TypicalLetterHeight(FindPageInk(page.get(), 96)), 7);
  PixPtr blank = Page(100, 100, kWhite);
  EXPECT_EQ(TypicalLetterHeight(FindPageInk(blank.get(), 96)), 0);
}

}  // namespace
}  // namespace ocr::engine
