#include "options.h"

#include <gtest/gtest.h>

namespace ocr {
namespace {

using Strings = std::vector<std::string>;

TEST(OptionsTest, LanguageValueMapsOnlyAWholeShortCodeThenSplitsAsTyped) {
  EXPECT_EQ(MakeLanguageList("eng"), (Strings{"en-US"}));
  EXPECT_EQ(MakeLanguageList("cht"), (Strings{"zh-Hant"}));
  EXPECT_EQ(MakeLanguageList("eng,fre"), (Strings{"eng", "fre"}));
  EXPECT_EQ(MakeLanguageList("en-US,de-DE"), (Strings{"en-US", "de-DE"}));
  EXPECT_EQ(MakeLanguageList("en-US, de-DE,"), (Strings{"en-US", " de-DE", ""}));
  EXPECT_EQ(MakeLanguageList(""), (Strings{""}));
  EXPECT_EQ(MakeLanguageList("Eng"), (Strings{"Eng"}));
}

TEST(OptionsTest, PdfPageNumberIsAWholeSignedDecimal) {
  EXPECT_EQ(ParsePdfPageNumber("3"), 3);
  EXPECT_EQ(ParsePdfPageNumber("+3"), 3);
  EXPECT_EQ(ParsePdfPageNumber("0"), 0);
  EXPECT_EQ(ParsePdfPageNumber("-7"), -7);
  EXPECT_EQ(ParsePdfPageNumber("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParsePdfPageNumber("-9223372036854775808"), INT64_MIN);
  for (const char* bad : {"", "+", "-", "2a", " 3", "3 ", "0x10", "1e3", "9223372036854775808",
                          "-9223372036854775809", "３"}) {
    EXPECT_EQ(ParsePdfPageNumber(bad), std::nullopt) << bad;
  }
}

TEST(OptionsTest, LanguageListTextKeepsTheRecognisersOrderAndSkipsUnknownCodes) {
  EXPECT_EQ(MakeLanguageListText({}), "[]");
  EXPECT_EQ(MakeLanguageListText(
                {"en-US", "fr-FR", "it-IT", "de-DE", "es-ES", "pt-BR", "zh-Hans", "zh-Hant"}),
            "[\"eng\",\"fre\",\"ita\",\"ger\",\"spa\",\"por\",\"chs\",\"cht\"]");
  EXPECT_EQ(MakeLanguageListText({"de-DE", "ja-JP", "en-US", "de-DE"}),
            "[\"ger\",\"eng\",\"ger\"]");
  EXPECT_EQ(MakeLanguageListText({"ko-KR"}), "[]");
}

}  // namespace
}  // namespace ocr
