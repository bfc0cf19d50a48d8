#include "engine/interfaces/recognized_line.h"

#include <gtest/gtest.h>

namespace ocr::engine {
namespace {

using Symbol = RecognizedLine::Symbol;

// "Hello, world" as an engine reports it: two words, the comma inside the first.
RecognizedLine MakeLine() {
  RecognizedLine line(1000, 500);
  line.AddWord("Hello,", {100, 200, 160, 220},
               {{"H", {100, 200, 110, 220}},
                {"e", {110, 205, 120, 220}},
                {"l", {120, 200, 125, 220}},
                {"l", {125, 200, 130, 220}},
                {"o", {130, 205, 150, 220}},
                {",", {150, 215, 175, 225}}});  // the engine's comma box overshoots
  line.AddWord("world", {170, 201, 230, 221}, {{"world", {170, 201, 230, 221}}});
  return line;
}

void ExpectPixels(const std::optional<NormalizedRect>& rect, double left, double top, double right,
                  double bottom) {
  ASSERT_TRUE(rect);
  EXPECT_NEAR(rect->x * 1000, left, 1e-9);
  EXPECT_NEAR(rect->width * 1000, right - left, 1e-9);
  EXPECT_NEAR((1 - rect->y) * 500 - rect->height * 500, top, 1e-9);  // back to top-left
  EXPECT_NEAR(rect->height * 500, bottom - top, 1e-9);
}

TEST(RecognizedLineTest, TextIsTheWordsJoinedBySingleSpaces) {
  RecognizedLine line = MakeLine();
  EXPECT_EQ(line.String(), "Hello, world");
  line.AddWord("", {0, 0, 1, 1}, {});
  line.AddWord(" ", {0, 0, 1, 1}, {{" ", {0, 0, 1, 1}}});
  EXPECT_EQ(line.String(), "Hello, world");
  RecognizedLine blank(10, 10);
  blank.AddWord("  ", {0, 0, 1, 1}, {});
  EXPECT_TRUE(blank.Empty());
}

TEST(RecognizedLineTest, WholeWordsTakeWordBoxesAndTheLineTheirUnion) {
  RecognizedLine line = MakeLine();
  ExpectPixels(line.BoundingBox(7, 12), 170, 201, 230, 221);
  ExpectPixels(line.BoundingBox(0, 12), 100, 200, 230, 221);
  ExpectPixels(line.BoundingBox(0, 6), 100, 200, 160, 220);
  ExpectPixels(line.BoundingBox(5, 12), 150, 201, 230, 221);  // ", world": comma clamped
}

TEST(RecognizedLineTest, PartsOfWordsTakeCharacterBoxesClampedToTheWord) {
  RecognizedLine line = MakeLine();
  ExpectPixels(line.BoundingBox(0, 5), 100, 200, 150, 220);  // "Hello"
  ExpectPixels(line.BoundingBox(5, 6), 150, 215, 160, 220);  // "," clamped to the word
  ExpectPixels(line.BoundingBox(1, 3), 110, 200, 125, 220);  // "el"
}

TEST(RecognizedLineTest, RangesWithoutCharactersHaveNoBox) {
  RecognizedLine line = MakeLine();
  EXPECT_FALSE(line.BoundingBox(6, 7));   // the joining space
  EXPECT_FALSE(line.BoundingBox(3, 3));   // empty
  EXPECT_FALSE(line.BoundingBox(8, 10));  // inside a word whose characters do not add up
  EXPECT_FALSE(line.BoundingBox(10, 40));
  EXPECT_FALSE(RecognizedLine(0, 0).BoundingBox(0, 1));
}

TEST(RecognizedLineTest, MultiByteCharactersAreMeasuredInBytes) {
  RecognizedLine line(1000, 500);
  line.AddWord("中文。", {10, 10, 70, 30},
               {{"中", {10, 10, 30, 30}}, {"文", {30, 10, 50, 30}}, {"。", {50, 10, 70, 30}}});
  ASSERT_EQ(line.String().size(), 9u);
  ExpectPixels(line.BoundingBox(0, 6), 10, 10, 50, 30);
  ExpectPixels(line.BoundingBox(6, 9), 50, 10, 70, 30);
  EXPECT_FALSE(line.BoundingBox(1, 2));  // no whole character inside
}

}  // namespace
}  // namespace ocr::engine
