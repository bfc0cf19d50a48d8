// The finder against the plain reference search on many bitmaps: the same candidates in the
// same order, and the same answer.
#include <gtest/gtest.h>

#include <random>

#include "actions/exact_rect_finder.h"
#include "reference_rect_finder.h"

namespace morel_xy {
namespace {

constexpr Color kWanted{40, 120, 250};

void ExpectSameAsReference(const Bitmap& bitmap, const std::string& what, Color color = kWanted,
                           int tolerance = 5) {
  const morel_test::ReferenceSearch reference =
      morel_test::ReferenceFindRect(bitmap, color, tolerance);
  const std::vector<Rect> candidates =
      detail::FindCandidates(detail::MarkColor(bitmap, color, tolerance));
  ASSERT_EQ(candidates, reference.candidates) << what;
  Rect result{-1, -1, -1, -1};
  const bool found = ExactRectFinder(bitmap).Find(color, tolerance, result);
  ASSERT_EQ(found, reference.found) << what;
  if (found) {
    ASSERT_EQ(result, reference.result) << what;
  } else {
    ASSERT_EQ(result, (Rect{-1, -1, -1, -1})) << what;
  }
}

// A pixel that matches kWanted within 5 (varied inside the tolerance), or one just outside.
Color Near(std::mt19937& rng, bool match) {
  std::uniform_int_distribution<int> within(-5, 5);
  Color c{static_cast<uint8_t>(kWanted.b + within(rng)),
          static_cast<uint8_t>(kWanted.g + within(rng)),
          static_cast<uint8_t>(std::min(255, kWanted.r + within(rng)))};
  if (!match) {
    switch (rng() % 3) {
      case 0:
        c.b = static_cast<uint8_t>(kWanted.b + 6);
        break;
      case 1:
        c.g = static_cast<uint8_t>(kWanted.g - 6);
        break;
      default:
        c.r = static_cast<uint8_t>(kWanted.r - 6);
        break;
    }
  }
  return c;
}

Bitmap Random(std::mt19937& rng, int32_t w, int32_t h, double density) {
  Bitmap bitmap{w, h, std::vector<Color>(static_cast<size_t>(w) * h)};
  std::bernoulli_distribution marked(density);
  for (Color& p : bitmap.pixels) p = Near(rng, marked(rng));
  return bitmap;
}

void Fill(Bitmap& b, int32_t x, int32_t y, int32_t w, int32_t h, bool outline, std::mt19937& rng) {
  for (int32_t yy = y; yy < std::min(y + h, b.height); ++yy) {
    for (int32_t xx = x; xx < std::min(x + w, b.width); ++xx) {
      const bool edge = yy == y || yy == y + h - 1 || xx == x || xx == x + w - 1;
      if (!outline || edge) b.pixels[static_cast<size_t>(yy) * b.width + xx] = Near(rng, true);
    }
  }
}

TEST(ExactRectFinderDifferentialTest, RandomBitmapsOfManySizesAndDensities) {
  std::mt19937 rng(20261208);
  int cases = 0;
  for (int32_t w : {1, 2, 3, 17, 63, 64, 65, 130}) {
    for (int32_t h : {1, 2, 5, 64, 70}) {
      for (double density : {0.02, 0.3, 0.5, 0.8, 0.97, 1.0}) {
        ExpectSameAsReference(Random(rng, w, h, density), "random " + std::to_string(w) + "x" +
                                                              std::to_string(h) + " at " +
                                                              std::to_string(density));
        ++cases;
      }
    }
  }
  EXPECT_EQ(cases, 240);
}

TEST(ExactRectFinderDifferentialTest, OverlappingBlocksAndOutlines) {
  std::mt19937 rng(7);
  for (int round = 0; round < 150; ++round) {
    const int32_t w = 20 + static_cast<int32_t>(rng() % 180);
    const int32_t h = 10 + static_cast<int32_t>(rng() % 90);
    Bitmap bitmap = Random(rng, w, h, round % 3 == 0 ? 0.05 : 0.0);
    const int shapes = 1 + static_cast<int>(rng() % 12);
    for (int s = 0; s < shapes; ++s) {
      Fill(bitmap, static_cast<int32_t>(rng() % w), static_cast<int32_t>(rng() % h),
           1 + static_cast<int32_t>(rng() % 60), 1 + static_cast<int32_t>(rng() % 40),
           rng() % 2 == 0, rng);
    }
    ExpectSameAsReference(bitmap, "shapes round " + std::to_string(round));
  }
}

// Patterns chosen to stress the seeding: long runs that leave the candidate's extent, combs and
// staircases that make many overlapping candidates, and checkerboards.
TEST(ExactRectFinderDifferentialTest, AdversarialPatterns) {
  std::mt19937 rng(99);
  const int32_t w = 97, h = 71;
  auto pattern = [&](const std::string& name, auto marked) {
    Bitmap bitmap{w, h, std::vector<Color>(static_cast<size_t>(w) * h)};
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        bitmap.pixels[static_cast<size_t>(y) * w + x] = Near(rng, marked(x, y));
      }
    }
    ExpectSameAsReference(bitmap, name);
  };
  pattern("checkerboard", [](int x, int y) { return (x + y) % 2 == 0; });
  pattern("comb over full rows", [](int x, int y) { return y % 2 == 1 || x % 2 == 0; });
  pattern("full rows", [](int, int y) { return y % 3 != 2; });
  pattern("full columns", [](int x, int) { return x % 3 != 1; });
  pattern("staircase", [](int x, int y) { return x >= y && x - y < 5; });
  pattern("reverse staircase", [](int x, int y) { return x + y >= 60 && x + y < 64; });
  pattern("nested outlines", [](int x, int y) {
    const int d = std::min(std::min(x, y), std::min(96 - x, 70 - y));
    return d % 2 == 0;
  });
  pattern("grid", [](int x, int y) { return x % 7 == 0 || y % 5 == 0; });
  pattern("grid with holes",
          [](int x, int y) { return (x % 7 == 0 || y % 5 == 0) && (x * y) % 11 != 3; });
  pattern("everything", [](int, int) { return true; });
  pattern("nothing", [](int, int) { return false; });
  pattern("diagonal pairs", [](int x, int y) { return (x / 2 + y) % 3 == 0; });
  pattern("L shapes",
          [](int x, int y) { return (x % 6 == 0 && y % 6 < 4) || (y % 6 == 0 && x % 6 < 4); });
}

TEST(ExactRectFinderDifferentialTest, TextLikeStrokes) {
  // Glyph cells of random strokes in text lines, as in a capture of a page whose text has the
  // wanted colour: mostly one-pixel strokes, the case the traces take shortcuts for.
  std::mt19937 rng(11);
  for (int round = 0; round < 6; ++round) {
    const int32_t w = 200, h = 120;
    Bitmap bitmap = Random(rng, w, h, 0.0);
    std::bernoulli_distribution stroke(0.15 + 0.1 * round);
    for (int32_t line = round % 3; line + 12 <= h; line += 18) {
      for (int32_t y = line; y < line + 12; ++y) {
        for (int32_t x = 0; x < w; ++x) {
          if (x % 8 != 7 && stroke(rng))
            bitmap.pixels[static_cast<size_t>(y) * w + x] = Near(rng, true);
        }
      }
    }
    ExpectSameAsReference(bitmap, "text round " + std::to_string(round));
  }
}

TEST(ExactRectFinderDifferentialTest, ToleranceAndColourAtTheEdgesOfTheByteRange) {
  std::mt19937 rng(3);
  for (int round = 0; round < 40; ++round) {
    Bitmap bitmap{40, 30, std::vector<Color>(1200)};
    for (Color& p : bitmap.pixels) {
      p = Color{static_cast<uint8_t>(rng() % 4 == 0 ? 255 - rng() % 8 : rng() % 8),
                static_cast<uint8_t>(rng() % 8), static_cast<uint8_t>(250 + rng() % 6)};
    }
    const Color color{static_cast<uint8_t>(round % 2 ? 255 : 0), 0, 255};
    ExpectSameAsReference(bitmap, "edges round " + std::to_string(round), color,
                          static_cast<int>(rng() % 9));
  }
}

}  // namespace
}  // namespace morel_xy
