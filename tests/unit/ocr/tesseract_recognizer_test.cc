#include "engine/tesseract_recognizer.h"

#include <gtest/gtest.h>

#include "engine/tesseract_languages.h"

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

}  // namespace
}  // namespace ocr::engine
