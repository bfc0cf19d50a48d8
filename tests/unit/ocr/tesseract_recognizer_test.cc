#include "engine/tesseract/tesseract_recognizer.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ocr::engine
