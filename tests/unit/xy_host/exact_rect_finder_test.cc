#include "actions/exact_rect_finder.h"

#include <gtest/gtest.h>

#include <string>

namespace morel_xy {
namespace {

constexpr Color kWanted{10, 200, 30};
constexpr Color kOther{90, 90, 90};

Bitmap Blank(int32_t w, int32_t h, Color fill = kOther) {
  return Bitmap{w, h, std::vector<Color>(static_cast<size_t>(w) * h, fill)};
}

void Paint(Bitmap& bitmap, int32_t x, int32_t y, int32_t w, int32_t h, Color color = kWanted) {
  for (int32_t yy = y; yy < y + h; ++yy) {
    for (int32_t xx = x; xx < x + w; ++xx) bitmap.pixels[yy * bitmap.width + xx] = color;
  }
}

void Outline(Bitmap& bitmap, int32_t x, int32_t y, int32_t w, int32_t h) {
  Paint(bitmap, x, y, w, 1);
  Paint(bitmap, x, y + h - 1, w, 1);
  Paint(bitmap, x, y, 1, h);
  Paint(bitmap, x + w - 1, y, 1, h);
}

// A bitmap drawn as text: '#' is the wanted colour, anything else another one.
Bitmap FromArt(const std::vector<std::string>& rows) {
  Bitmap bitmap = Blank(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      if (rows[y][x] == '#') bitmap.pixels[y * rows[0].size() + x] = kWanted;
    }
  }
  return bitmap;
}

std::vector<Rect> Candidates(const Bitmap& bitmap, int tolerance = 5) {
  return detail::FindCandidates(detail::MarkColor(bitmap, kWanted, tolerance));
}

std::optional<Rect> FindIn(const Bitmap& bitmap, Color color = kWanted, int tolerance = 5) {
  Rect result{-7, -7, -7, -7};
  if (!ExactRectFinder(bitmap).Find(color, tolerance, result)) {
    EXPECT_EQ(result, (Rect{-7, -7, -7, -7})) << "a failed search must leave the result alone";
    return std::nullopt;
  }
  return result;
}

TEST(ExactRectFinderTest, LShapeGivesBothTracesAndTheLargerWins) {
  const Bitmap bitmap = FromArt({"####..", "#.....", "#.....", "......"});
  EXPECT_EQ(Candidates(bitmap), (std::vector<Rect>{{0, 0, 4, 1}, {0, 0, 1, 3}}));
  EXPECT_EQ(FindIn(bitmap), (Rect{0, 0, 4, 1}));
}

TEST(ExactRectFinderTest, FilledBlockAloneIsOneCandidate) {
  Bitmap bitmap = Blank(30, 20);
  Paint(bitmap, 10, 5, 4, 3);
  EXPECT_EQ(Candidates(bitmap), (std::vector<Rect>{{10, 5, 4, 3}}));
  EXPECT_EQ(FindIn(bitmap), (Rect{10, 5, 4, 3}));
}

TEST(ExactRectFinderTest, OutlineWithOtherColourInsideIsFoundWhole) {
  Bitmap bitmap = Blank(12, 10);
  Outline(bitmap, 2, 2, 5, 4);
  Paint(bitmap, 3, 3, 3, 2, Color{1, 2, 3});
  EXPECT_EQ(Candidates(bitmap), (std::vector<Rect>{{2, 2, 5, 4}}));
  EXPECT_EQ(FindIn(bitmap), (Rect{2, 2, 5, 4}));
}

TEST(ExactRectFinderTest, OutlineTouchingTheBitmapEdges) {
  Bitmap bitmap = Blank(6, 5);
  Outline(bitmap, 0, 0, 6, 5);
  EXPECT_EQ(FindIn(bitmap), (Rect{0, 0, 6, 5}));
}

TEST(ExactRectFinderTest, SinglePixelsAndLines) {
  Bitmap pixel = Blank(10, 12);
  Paint(pixel, 7, 9, 1, 1);
  EXPECT_EQ(FindIn(pixel), (Rect{7, 9, 1, 1}));

  Bitmap row = Blank(8, 3);
  Paint(row, 0, 0, 8, 1);
  EXPECT_EQ(Candidates(row), (std::vector<Rect>{{0, 0, 8, 1}}));

  Bitmap column = Blank(3, 9);
  Paint(column, 2, 1, 1, 8);
  EXPECT_EQ(FindIn(column), (Rect{2, 1, 1, 8}));

  EXPECT_EQ(FindIn(FromArt({"#"})), (Rect{0, 0, 1, 1}));
}

TEST(ExactRectFinderTest, TwoBlocksAreChosenByAreaNotOrder) {
  Bitmap bitmap = Blank(60, 40);
  Paint(bitmap, 1, 1, 10, 10);   // found first, area 100
  Paint(bitmap, 20, 30, 30, 5);  // area 150
  EXPECT_EQ(FindIn(bitmap), (Rect{20, 30, 30, 5}));
  Paint(bitmap, 40, 0, 15, 10);  // area 150 too, but found before the 30 x 5 block
  EXPECT_EQ(FindIn(bitmap), (Rect{40, 0, 15, 10}));
}

TEST(ExactRectFinderTest, ToleranceEdgesPerChannel) {
  const Color white{255, 255, 255};
  for (int channel = 0; channel < 3; ++channel) {
    for (int value : {250, 249}) {
      Bitmap bitmap = Blank(3, 3, Color{0, 0, 0});
      Color c = white;
      (channel == 0 ? c.b : channel == 1 ? c.g : c.r) = static_cast<uint8_t>(value);
      Paint(bitmap, 1, 1, 1, 1, c);
      const std::optional<Rect> found = FindIn(bitmap, white, 5);
      if (value == 250) {
        EXPECT_EQ(found, (Rect{1, 1, 1, 1})) << "channel " << channel;
      } else {
        EXPECT_EQ(found, std::nullopt) << "channel " << channel;
      }
    }
  }
  // Below the wanted value, and differences taken as signed (5 - 0 and 0 - 5 both count).
  Bitmap low = Blank(2, 1, Color{0, 0, 0});
  low.pixels[1] = Color{10, 10, 10};
  EXPECT_EQ(FindIn(low, Color{5, 5, 5}, 5), (Rect{0, 0, 2, 1}));
  EXPECT_EQ(FindIn(low, Color{5, 5, 5}, 4), std::nullopt);
  // Channels are compared position by position: a pixel with b and r swapped is no match.
  EXPECT_EQ(FindIn(FromArt({"."}), Color{90, 90, 90}, 0), (Rect{0, 0, 1, 1}));
  Bitmap swapped = Blank(1, 1, Color{30, 200, 10});
  EXPECT_EQ(FindIn(swapped, kWanted, 5), std::nullopt);
}

TEST(ExactRectFinderTest, ExtremeTolerances) {
  Bitmap bitmap = Blank(4, 3, Color{0, 128, 255});
  EXPECT_EQ(FindIn(bitmap, kWanted, 255), (Rect{0, 0, 4, 3}));
  EXPECT_EQ(FindIn(bitmap, kWanted, 1 << 30), (Rect{0, 0, 4, 3}));
  EXPECT_EQ(FindIn(bitmap, Color{0, 128, 255}, -1), std::nullopt);
  EXPECT_EQ(FindIn(bitmap, Color{0, 128, 255}, -2147483647 - 1), std::nullopt);
}

TEST(ExactRectFinderTest, SeedsInsideEarlierCandidatesAreSkipped) {
  // The outline's inner marks lie inside the candidate traced from its top-left corner and
  // seed nothing; the mark right of it and the one hanging below it (row 3 is outside the
  // outline) seed their own, in row-major order.
  const Bitmap bitmap = FromArt({
      "#####..",
      "#.#.#..",
      "#####.#",
      "..#....",
  });
  EXPECT_EQ(Candidates(bitmap), (std::vector<Rect>{{0, 0, 5, 3}, {6, 2, 1, 1}, {2, 3, 1, 1}}));
}

TEST(ExactRectFinderTest, OpenShapesAndRunsPastTheSeedsColumn) {
  // Trace A's bottom edge runs left past the seed's column (5 pixels) but the width stays the
  // top edge's 3; the bottom row then seeds at its own left end, outside the first candidate.
  const Bitmap bitmap = FromArt({
      "..###",
      "..#.#",
      "#####",
  });
  EXPECT_EQ(Candidates(bitmap), (std::vector<Rect>{{2, 0, 3, 3}, {0, 2, 5, 1}}));
  EXPECT_EQ(FindIn(bitmap), (Rect{2, 0, 3, 3}));
  // No bottom-left corner: trace A gives nothing, trace B the top row; the corner below the
  // top row's right end seeds next.
  EXPECT_EQ(Candidates(FromArt({"##", ".#"})), (std::vector<Rect>{{0, 0, 2, 1}, {1, 1, 1, 1}}));
  // Open box: the two traces disagree and both are kept, trace A's first.
  EXPECT_EQ(Candidates(FromArt({"###", "..#", "#.#"})),
            (std::vector<Rect>{{0, 0, 1, 1}, {0, 0, 3, 1}, {2, 1, 1, 2}, {0, 2, 1, 1}}));
}

TEST(ExactRectFinderTest, EmptyOrMalformedBitmapsFindNothing) {
  EXPECT_EQ(FindIn(Bitmap{}), std::nullopt);
  EXPECT_EQ(FindIn(Bitmap{0, 5, {}}), std::nullopt);
  EXPECT_EQ(FindIn(Bitmap{5, 0, {}}), std::nullopt);
  EXPECT_EQ(FindIn(Bitmap{-3, 2, {}}), std::nullopt);
  EXPECT_EQ(FindIn(Bitmap{3, 3, {kWanted}}), std::nullopt);  // fewer pixels than stated
  EXPECT_EQ(FindIn(Blank(5, 5)), std::nullopt);              // no pixel of the colour
}

TEST(ExactRectFinderTest, MarkingCoversBlockBoundariesAndRowTails) {
  // Widths around the 16-pixel blocks and 64-pixel words the marking works in.
  for (int32_t w : {1, 15, 16, 17, 63, 64, 65, 100, 129}) {
    Bitmap bitmap = Blank(w, 3);
    Paint(bitmap, w - 1, 1, 1, 2);
    Paint(bitmap, 0, 0, 1, 1);
    const detail::ExactRectFinderContext context = detail::MarkColor(bitmap, kWanted, 0);
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        const bool wanted = (x == 0 && y == 0) || (x == w - 1 && y >= 1);
        ASSERT_EQ(context.Marked(x, y), wanted) << w << " " << x << "," << y;
      }
    }
  }
}

TEST(ExactRectFinderTest, RunsCrossWordBoundariesAndStopAtEdges) {
  detail::ExactRectFinderContext context(200, 150);
  for (int32_t x = 10; x < 140; ++x) context.Mark(x, 70);
  for (int32_t y = 0; y < 150; ++y) context.Mark(199, y);
  EXPECT_EQ(context.RunRight(10, 70), 130);
  EXPECT_EQ(context.RunRight(63, 70), 77);
  EXPECT_EQ(context.RunLeft(139, 70), 130);
  EXPECT_EQ(context.RunLeft(64, 70), 55);
  EXPECT_EQ(context.RunRight(140, 70), 0);
  EXPECT_EQ(context.RunDown(199, 0), 150);
  EXPECT_EQ(context.RunUp(199, 149), 150);
  EXPECT_EQ(context.RunUp(199, 64), 65);
  EXPECT_EQ(context.RunRight(199, 3), 1);
  EXPECT_EQ(context.RunDown(50, 70), 1);
}

}  // namespace
}  // namespace morel_xy
