// The rectangle finder on 4K frames: a rare colour, text-like scattered marks, and noise.

#include <benchmark/benchmark.h>

#include <random>

#include "actions/exact_rect_finder.h"

namespace {

using morel_xy::Bitmap;
using morel_xy::Color;
using morel_xy::Rect;

constexpr int32_t kWidth = 3840;
constexpr int32_t kHeight = 2160;
constexpr Color kWanted{0x33, 0x66, 0x99};

// A frame of varied colours none of which is within the tolerance of kWanted.
Bitmap Background(std::mt19937& rng) {
  Bitmap bitmap{kWidth, kHeight, std::vector<Color>(static_cast<size_t>(kWidth) * kHeight)};
  for (Color& p : bitmap.pixels) {
    p = Color{static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
              static_cast<uint8_t>(rng() % 0x80)};  // red stays far from 0x99
  }
  return bitmap;
}

void Paint(Bitmap& b, int32_t x, int32_t y, int32_t w, int32_t h) {
  for (int32_t yy = y; yy < y + h; ++yy) {
    for (int32_t xx = x; xx < x + w; ++xx)
      b.pixels[static_cast<size_t>(yy) * kWidth + xx] = kWanted;
  }
}

void Run(benchmark::State& state, const Bitmap& bitmap) {
  for (auto _ : state) {
    Rect result;
    const bool found = morel_xy::ExactRectFinder(bitmap).Find(kWanted, 5, result);
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(result);
  }
}

void BM_RareColourFewBlocks(benchmark::State& state) {
  std::mt19937 rng(1);
  Bitmap bitmap = Background(rng);
  Paint(bitmap, 100, 100, 300, 40);
  Paint(bitmap, 2000, 900, 50, 50);
  Paint(bitmap, 3000, 2000, 400, 100);
  Paint(bitmap, 500, 1500, 1, 200);
  Run(state, bitmap);
}

void BM_TextLikeScatteredMarks(benchmark::State& state) {
  // Lines of "text" in the wanted colour: 8 x 12 glyph cells with strokes at random, one text
  // line every 18 rows, the rest background.
  std::mt19937 rng(2);
  Bitmap bitmap = Background(rng);
  std::bernoulli_distribution stroke(0.3);
  for (int32_t line = 0; line + 12 <= kHeight; line += 18) {
    for (int32_t y = line; y < line + 12; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        if (x % 8 != 7 && stroke(rng)) bitmap.pixels[static_cast<size_t>(y) * kWidth + x] = kWanted;
      }
    }
  }
  Run(state, bitmap);
}

void BM_UniformNoiseHalfMarked(benchmark::State& state) {
  std::mt19937 rng(3);
  Bitmap bitmap = Background(rng);
  std::bernoulli_distribution marked(0.5);
  for (Color& p : bitmap.pixels) {
    if (marked(rng)) p = kWanted;
  }
  Run(state, bitmap);
}

BENCHMARK(BM_RareColourFewBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLikeScatteredMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniformNoiseHalfMarked)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
