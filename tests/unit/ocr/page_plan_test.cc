#include "engine/cleanup/page_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace ocr::engine {
namespace {

// What each kind of page is planned to go through, at both levels.
TEST(PagePlanTest, EachKindOfPageHasItsPlan) {
  const LevelConfig accurate = ConfigFor(RecognitionLevel::accurate);
  const LevelConfig fast = ConfigFor(RecognitionLevel::fast);
  const auto page = [](int width, int height, std::optional<int> dpi,
                       std::optional<int> letters = std::nullopt, bool dark = false) {
    PageMeasures measures;
    measures.width = width;
    measures.height = height;
    measures.knownDpi = dpi;
    measures.letterHeight = letters;
    measures.mostlyDark = dark;
    return measures;
  };
  constexpr ClearStep before = ClearStep::beforeScaling;
  constexpr ClearStep after = ClearStep::afterScaling;
  const struct Row {
    const char* what;
    LevelConfig config;
    PageMeasures page;
    bool needsLetters;
    double scale;
    int resolution;
    ClearStep clear;
    bool grey, invert, reread;
  } rows[] = {
      // Screenshots of small text are enlarged whole, cleared first at their own size.
      {"small text", accurate, page(1280, 800, std::nullopt, 6), true, 1.5, 144, before, false,
       false, false},
      // Larger text is read as it is, in grey, its unsure words read again enlarged.
      {"larger text", accurate, page(1280, 800, std::nullopt, 7), true, 1.0, 96, before, true,
       false, true},
      {"no letters", accurate, page(1280, 800, std::nullopt, 0), true, 1.5, 144, before, false,
       false, false},
      // Wider than a screen: read as it is, cleared at that size.
      {"wide shot", accurate, page(2560, 1440, std::nullopt), false, 1.0, 96, after, false, false,
       false},
      {"fast shot", fast, page(1280, 800, std::nullopt), false, 1.0, 96, after, false, false,
       false},
      // Dark pages are inverted at the fast level only.
      {"fast dark shot", fast, page(1280, 800, std::nullopt, std::nullopt, true), false, 1.0, 96,
       after, false, true, false},
      {"accurate dark shot", accurate, page(1280, 800, std::nullopt, 4, true), true, 1.5, 144,
       before, false, false, false},
      // Rendered pages: as they are when accurate, at 120 DPI when fast, cleared after.
      {"page", accurate, page(2550, 3300, 300), false, 1.0, 300, after, false, false, false},
      {"fast page", fast, page(2550, 3300, 300), false, 0.4, 120, after, false, false, false},
      {"fast scan at 100 DPI", fast, page(850, 1100, 100), false, 1.0, 100, after, false, false,
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(NeedsLetterHeight(row.config, row.page), row.needsLetters);
    const PagePlan plan = PlanPage(row.config, row.page);
    EXPECT_DOUBLE_EQ(plan.scale, row.scale);
    EXPECT_EQ(plan.resolution, row.resolution);
    EXPECT_EQ(plan.sourceResolution, row.page.knownDpi.value_or(96));
    EXPECT_EQ(plan.clear, row.clear);
    EXPECT_EQ(plan.grey, row.grey);
    EXPECT_EQ(plan.invert, row.invert);
    EXPECT_EQ(plan.rereadUnsure, row.reread);
    EXPECT_EQ(plan.unsureConfidence, row.reread ? accurate.unsureConfidence : 0);
  }
}

TEST(PagePlanTest, AccurateEnlargesScreenshotsOnlyAndFastShrinksPages) {
  const LevelConfig accurate = ConfigFor(RecognitionLevel::accurate);
  const LevelConfig fast = ConfigFor(RecognitionLevel::fast);
  // A 1280 px wide screenshot of unknown resolution.
  EXPECT_EQ(RecognitionScale(accurate, 1280, 800, std::nullopt), 1.5);
  EXPECT_EQ(RecognitionScale(fast, 1280, 800, std::nullopt), 1.0);
  // Wider than a screen, or so tall that enlarging it would hold too many pixels.
  EXPECT_EQ(RecognitionScale(accurate, 2550, 3300, std::nullopt), 1.0);
  EXPECT_EQ(RecognitionScale(accurate, 1280, 20000, std::nullopt), 1.0);
  // Rendered PDF pages (300 DPI) are read as they are, or at 120 DPI when fast.
  EXPECT_EQ(RecognitionScale(accurate, 2550, 3300, 300), 1.0);
  EXPECT_DOUBLE_EQ(RecognitionScale(fast, 2550, 3300, 300), 0.4);
  EXPECT_EQ(RecognitionScale(fast, 1000, 1000, 100), 1.0);  // never enlarged
}

TEST(PagePlanTest, NoSideComesOutLongerThanTheEngineTakes) {
  const LevelConfig accurate = ConfigFor(RecognitionLevel::accurate);
  const LevelConfig fast = ConfigFor(RecognitionLevel::fast);
  // Leptonica's rounding of a scaled side: to the nearest pixel.
  const auto side = [](int length, double scale) {
    return static_cast<int>(static_cast<float>(scale) * static_cast<float>(length) + 0.5f);
  };
  // A mobile-width full-page capture: enlarged, but only up to the limit.
  const double tall = RecognitionScale(accurate, 600, 24000, std::nullopt);
  EXPECT_GT(tall, 1.3);
  EXPECT_LE(side(24000, tall), kMaxRecognitionSide);
  // Sides already over the limit are shrunk, at either level, image or page.
  for (const LevelConfig& config : {accurate, fast}) {
    const double strip = RecognitionScale(config, 300, 40000, std::nullopt);
    EXPECT_LE(side(40000, strip), kMaxRecognitionSide);
    EXPECT_GE(side(40000, strip), kMaxRecognitionSide - 2);
    const double wide = RecognitionScale(config, 33000, 400, std::nullopt);
    EXPECT_LE(side(33000, wide), kMaxRecognitionSide);
  }
  // A 110-inch page at 300 DPI: too long for accurate as it is, fine for fast at 120 DPI.
  EXPECT_LE(side(33000, RecognitionScale(accurate, 600, 33000, 300)), kMaxRecognitionSide);
  EXPECT_DOUBLE_EQ(RecognitionScale(fast, 600, 33000, 300), 0.4);
}

TEST(PagePlanTest, OnlyFastInvertsDarkImages) {
  EXPECT_FALSE(ConfigFor(RecognitionLevel::accurate).invertDarkImages);
  EXPECT_TRUE(ConfigFor(RecognitionLevel::fast).invertDarkImages);
}

}  // namespace
}  // namespace ocr::engine
