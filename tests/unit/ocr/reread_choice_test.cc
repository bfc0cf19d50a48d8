#include "engine/tesseract/reread_choice.h"

#include <gtest/gtest.h>

namespace ocr::engine {
namespace {

TEST(RereadChoiceTest, UnsureWordsWithPunctuationOrInDoubtAreReadAgain) {
  EXPECT_TRUE(WorthRereading("checkout,", 80, 90, 16, 15));
  EXPECT_TRUE(
      WorthRereading("\xe2\x80\x98"
                     "Add",
                     77, 90, 16, 15));  // a quote mark
  EXPECT_FALSE(WorthRereading("checkout,", 90, 90, 16, 15));
  // Letters read fairly surely come back the same.
  EXPECT_FALSE(WorthRereading("warranty", 89, 90, 16, 15));
  EXPECT_TRUE(WorthRereading("warranty", 60, 90, 16, 15));
  EXPECT_FALSE(WorthRereading("caf\xc3\xa9", 80, 90, 16, 15));
  // Two lines of small text read as one word as tall as both.
  EXPECT_FALSE(WorthRereading("eer", 40, 90, 34, 14));
  EXPECT_TRUE(WorthRereading("eer", 40, 90, 28, 14));
  EXPECT_TRUE(WorthRereading("eer", 40, 90, 30, 0));  // no words to measure against
}

TEST(RereadChoiceTest, ASecondReadingCorrectsAWordButNeverReplacesIt) {
  const struct {
    const char* first;
    float firstConfidence;
    const char* second;
    float secondConfidence;
    bool taken;
  } cases[] = {
      {"example:", 70, "example;", 85, true},  // punctuation a screen blurred
      {"1,234.5", 60, "1.234,5", 80, true},
      {"l0", 50, "10", 80, true},               // a small word: one edit
      {"example:", 70, "example;", 70, false},  // no more confident
      {"Report", 40, "eer", 60, false},         // a wholesale change
      {"sommit", 60, "Commit", 75, true},
      {"\xe5\x8c\xb9\xe9\x85\x8d\xe8\x99\x9a\xe6\x8b\x9f", 50, "PReel", 70,
       false},  // 匹配虚拟 as Latin
      {"\xe2\x80\x98"
       "Add",
       50, "Add", 90, true},  // a stray quote mark
      {"caf\xc3\xa9s", 50, "cafes", 90, true},
      {"word", 50, "", 90, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TakeSecondReading(c.first, c.firstConfidence, c.second, c.secondConfidence), c.taken)
        << c.first << " -> " << c.second;
  }
}

}  // namespace
}  // namespace ocr::engine
