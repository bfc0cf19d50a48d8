#include "word_segmentation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ocr {
namespace {

std::vector<std::string> Words(const std::string& text) {
  return MakeWordTexts(text,
                       MergeWordRanges(MakePhysicalWordRanges(text), MakeLogicalWordRanges(text)));
}

std::vector<std::string> Texts(const std::string& text, const std::vector<WordRange>& ranges) {
  return MakeWordTexts(text, ranges);
}

using Strings = std::vector<std::string>;
using Ranges = std::vector<WordRange>;

TEST(WordSegmentationTest, LatinPunctuationBecomesWordsOfItsOwn) {
  EXPECT_EQ(Words("Hello, world!"), (Strings{"Hello", ",", "world", "!"}));
  EXPECT_EQ(Texts("Hello, world!", MakeLogicalWordRanges("Hello, world!")),
            (Strings{"Hello", "world"}));
  EXPECT_EQ(Words("(abc)"), (Strings{"(", "abc", ")"}));
  EXPECT_EQ(Words("x--y"), (Strings{"x", "--", "y"}));
  EXPECT_EQ(Words("... wait"), (Strings{"...", "wait"}));  // punctuation only stays whole
  EXPECT_EQ(Words("l'été coûte 3,50 €"), (Strings{"l'été", "coûte", "3,50", "€"}));
  EXPECT_EQ(Words("Straße: Größe"), (Strings{"Straße", ":", "Größe"}));
}

TEST(WordSegmentationTest, WhitespaceOfEveryKindSeparatesAndNeverBelongsToAWord) {
  EXPECT_EQ(Words("a   b"), (Strings{"a", "b"}));
  EXPECT_EQ(Words("\t a\tb \n"), (Strings{"a", "b"}));
  // U+00A0, U+2003, U+3000, U+202F, U+205F, U+1680, U+0085, U+2028 and the ASCII controls.
  const std::string spaces[] = {"\u00a0", "\u2003", "\u3000", "\u202f", "\u205f", "\u1680",
                                "\u0085", "\u2028", "\u2029", "\v",     "\f",     "\r"};
  for (const std::string& space : spaces) {
    EXPECT_EQ(Words("one" + space + "two" + space), (Strings{"one", "two"})) << space.size();
  }
  // Not White_Space: zero-width space and word joiner stay inside the physical word.
  EXPECT_EQ(MakePhysicalWordRanges("a\u200bb").size(), 1u);
  // ICU joins letters across U+202F; logical words still never hold whitespace.
  EXPECT_EQ(MakeLogicalWordRanges("ab\u202fcd"), (Ranges{{0, 2}, {5, 7}}));
  EXPECT_TRUE(MakePhysicalWordRanges(" \u00a0\u3000\t").empty());
  EXPECT_TRUE(Words(" \u00a0\u3000\t").empty());
  EXPECT_TRUE(MakePhysicalWordRanges("").empty());
  EXPECT_TRUE(MakeLogicalWordRanges("").empty());
  EXPECT_TRUE(Words("").empty());
}

TEST(WordSegmentationTest, PhysicalRangesAreByteOffsetsOverGraphemeClusters) {
  // "e" + combining acute, then CR LF (one cluster, whitespace by its first scalar).
  const std::string text = "e\u0301t\u00e9\r\nx";
  EXPECT_EQ(MakePhysicalWordRanges(text), (Ranges{{0, 6}, {8, 9}}));
  // A space followed by a combining mark forms one cluster that starts with whitespace.
  EXPECT_EQ(MakePhysicalWordRanges("a \u0301b"), (Ranges{{0, 1}, {4, 5}}));
  // Emoji with a skin-tone modifier and a flag stay whole.
  EXPECT_EQ(Words("hi \U0001F44D\U0001F3FD \U0001F1EB\U0001F1F7"),
            (Strings{"hi", "\U0001F44D\U0001F3FD", "\U0001F1EB\U0001F1F7"}));
}

TEST(WordSegmentationTest, ChineseWithoutSpacesIsSplitByTheDictionary) {
  const std::string text = "我们喜欢学习中文。";
  const Strings words = Words(text);
  ASSERT_GE(words.size(), 3u);
  std::string joined;
  for (const auto& w : words) joined += w;
  EXPECT_EQ(joined, text);  // nothing lost, nothing doubled
  EXPECT_EQ(words.back(), "。");
  EXPECT_EQ(words.front(), "我们");
  EXPECT_EQ(Texts("中文，English", MakeLogicalWordRanges("中文，English")),
            (Strings{"中文", "English"}));
  EXPECT_EQ(Words("中文，English"), (Strings{"中文", "，", "English"}));
}

TEST(WordSegmentationTest, MergeTiesAndOverhangs) {
  // A logical range ending where the physical range starts is emitted on its own.
  EXPECT_EQ(MergeWordRanges({{5, 8}}, {{2, 5}}), (Ranges{{2, 5}, {5, 8}}));
  // One starting where the physical range ends leaves the physical range whole.
  EXPECT_EQ(MergeWordRanges({{0, 3}}, {{3, 6}}), (Ranges{{0, 3}, {3, 6}}));
  // Starting before the physical start: emitted whole, nothing before it.
  EXPECT_EQ(MergeWordRanges({{2, 9}}, {{1, 4}}), (Ranges{{1, 4}, {4, 9}}));
  // Running past the physical end finishes that range; the next physical range is then cut
  // by the following logical words, so [4, 6) is covered twice.
  EXPECT_EQ(MergeWordRanges({{0, 3}, {4, 8}}, {{1, 6}, {6, 7}}),
            (Ranges{{0, 1}, {1, 6}, {4, 6}, {6, 7}, {7, 8}}));
  // Inner cut with leftovers on both sides, and several logical words in one physical.
  EXPECT_EQ(MergeWordRanges({{0, 10}}, {{2, 4}, {5, 7}}),
            (Ranges{{0, 2}, {2, 4}, {4, 5}, {5, 7}, {7, 10}}));
  EXPECT_EQ(MergeWordRanges({}, {{0, 2}, {3, 4}}), (Ranges{{0, 2}, {3, 4}}));
  EXPECT_EQ(MergeWordRanges({{0, 2}, {3, 4}}, {}), (Ranges{{0, 2}, {3, 4}}));
  EXPECT_TRUE(MergeWordRanges({}, {}).empty());
}

TEST(WordSegmentationTest, WordTextsFollowTheRangesAndNeverReadPastTheText) {
  EXPECT_EQ(MakeWordTexts("abcdef", {{1, 3}, {4, 6}}), (Strings{"bc", "ef"}));
  EXPECT_EQ(MakeWordTexts("abc", {{2, 10}, {7, 9}}), (Strings{"c", ""}));
  EXPECT_TRUE(MakeWordTexts("abc", {}).empty());
}

TEST(WordSegmentationTest, InvalidUtf8NeitherCrashesNorLosesBytes) {
  const std::string text = "ab\xff\xfe cd\xc3";
  const Ranges physical = MakePhysicalWordRanges(text);
  ASSERT_EQ(physical.size(), 2u);
  EXPECT_EQ(physical[0], (WordRange{0, 4}));
  EXPECT_EQ(physical[1].upper, text.size());
  for (const auto& w : Words(text)) EXPECT_FALSE(w.empty());
}

}  // namespace
}  // namespace ocr
