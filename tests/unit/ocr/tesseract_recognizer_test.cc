#include "engine/tesseract/tesseract_recognizer.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <memory>

#include "engine/leptonica/pix_bitmap.h"
#include "engine/tesseract/tesseract_languages.h"

namespace ocr::engine {
namespace {

TEST(TesseractLanguagesTest, RecognizerCodesAndPlainLanguagesMapToTraineddata) {
  EXPECT_EQ(TesseractLanguageFor("en-US"), "eng");
  EXPECT_EQ(TesseractLanguageFor("fr-FR"), "fra");
  EXPECT_EQ(TesseractLanguageFor("it-IT"), "ita");
  EXPECT_EQ(TesseractLanguageFor("de-DE"), "deu");
  EXPECT_EQ(TesseractLanguageFor("es-ES"), "spa");
  EXPECT_EQ(TesseractLanguageFor("pt-BR"), "por");
  EXPECT_EQ(TesseractLanguageFor("zh-Hans"), "chi_sim");
  EXPECT_EQ(TesseractLanguageFor("zh-Hant"), "chi_tra");
  for (const char* plain : {"en", "fr", "de", "it", "es", "pt"}) {
    EXPECT_TRUE(TesseractLanguageFor(plain)) << plain;
  }
  for (const char* unknown : {"", "eng", "fre", "EN-us", "zh", "ja-JP", " en-US"}) {
    EXPECT_EQ(TesseractLanguageFor(unknown), std::nullopt) << unknown;
  }
}

TEST(TesseractRecognizerTest, AccurateEnlargesScreenshotsOnlyAndFastShrinksPages) {
  const TesseractLevelConfig accurate = ConfigFor(RecognitionLevel::accurate);
  const TesseractLevelConfig fast = ConfigFor(RecognitionLevel::fast);
  // A 1280 px wide screenshot of unknown resolution.
  EXPECT_EQ(RecognitionScale(accurate, 1280, 800, std::nullopt), 2.0);
  EXPECT_EQ(RecognitionScale(fast, 1280, 800, std::nullopt), 1.0);
  // Wider than a screen, or so tall that enlarging it would hold too many pixels.
  EXPECT_EQ(RecognitionScale(accurate, 2550, 3300, std::nullopt), 1.0);
  EXPECT_EQ(RecognitionScale(accurate, 1280, 20000, std::nullopt), 1.0);
  // Rendered PDF pages (300 DPI) are read as they are, or at 120 DPI when fast.
  EXPECT_EQ(RecognitionScale(accurate, 2550, 3300, 300), 1.0);
  EXPECT_DOUBLE_EQ(RecognitionScale(fast, 2550, 3300, 300), 0.4);
  EXPECT_EQ(RecognitionScale(fast, 1000, 1000, 100), 1.0);  // never enlarged
}

TEST(TesseractRecognizerTest, NoSideComesOutLongerThanTheEngineTakes) {
  const TesseractLevelConfig accurate = ConfigFor(RecognitionLevel::accurate);
  const TesseractLevelConfig fast = ConfigFor(RecognitionLevel::fast);
  // Leptonica's rounding of a scaled side: to the nearest pixel.
  const auto side = [](int length, double scale) {
    return static_cast<int>(static_cast<float>(scale) * static_cast<float>(length) + 0.5f);
  };
  // A mobile-width full-page capture: enlarged, but only up to the limit.
  const double tall = RecognitionScale(accurate, 600, 16500, std::nullopt);
  EXPECT_GT(tall, 1.9);
  EXPECT_LE(side(16500, tall), kMaxRecognitionSide);
  // Sides already over the limit are shrunk, at either level, image or page.
  for (const TesseractLevelConfig& config : {accurate, fast}) {
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

TEST(TesseractRecognizerTest, OnlyFastInvertsDarkImages) {
  EXPECT_FALSE(ConfigFor(RecognitionLevel::accurate).invertDarkImages);
  EXPECT_TRUE(ConfigFor(RecognitionLevel::fast).invertDarkImages);
}

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

TEST(TesseractRecognizerTest, MostlyDarkMeansAMedianBelowMidGrey) {
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
