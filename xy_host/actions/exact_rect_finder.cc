#include "actions/exact_rect_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morel_xy {
namespace detail {
namespace {

static_assert(sizeof(Color) == 3, "pixels are read as a packed byte stream");

size_t WordsFor(int32_t bits) {
  return (static_cast<size_t>(bits) + 63) / 64;
}

// Ones counted from bit `from` upwards through consecutive words, stopping at the first zero
// bit or at bit `limit`. Bits from `limit` to the end of the last word are clear.
inline int32_t CountOnesUp(const uint64_t* words, int32_t from, int32_t limit) {
  // Most runs end inside their first word.
  const int32_t available = 64 - from % 64;
  const int32_t ones = std::countr_one(words[from / 64] >> (from % 64));
  if (ones < available) return ones;
  int32_t count = available;
  for (int32_t at = from + available; at < limit; at += 64) {
    const int32_t more = std::countr_one(words[at / 64]);
    count += more;
    if (more < 64) break;
  }
  return count;
}

// Ones counted from bit `from` downwards to bit 0, stopping at the first zero bit.
inline int32_t CountOnesDown(const uint64_t* words, int32_t from) {
  const int32_t available = from % 64 + 1;
  const int32_t ones = std::countl_one(words[from / 64] << (63 - from % 64));
  if (ones < available) return ones;
  int32_t count = available;
  for (int32_t word = from / 64 - 1; word >= 0; --word) {
    const int32_t more = std::countl_one(words[word]);
    count += more;
    if (more < 64) break;
  }
  return count;
}

// Per channel, a pixel value v matches when (uint8_t)(v - low) <= span.
struct ChannelRange {
  uint8_t low = 0;
  uint8_t span = 0;
};

void MarkRowScalar(const uint8_t* bytes, int32_t from, int32_t to, const ChannelRange range[3],
                   uint64_t* row) {
  for (int32_t x = from; x < to; ++x) {
    const uint8_t* p = bytes + 3 * static_cast<size_t>(x);
    if (static_cast<uint8_t>(p[0] - range[0].low) <= range[0].span &&
        static_cast<uint8_t>(p[1] - range[1].low) <= range[1].span &&
        static_cast<uint8_t>(p[2] - range[2].low) <= range[2].span) {
      row[static_cast<size_t>(x) / 64] |= uint64_t{1} << (x % 64);
    }
  }
}

// Transposes a 64 x 64 bit matrix in place: bit c of word r moves to bit r of word c.
// Off-diagonal blocks are swapped at halving sizes (32, 16, ..., 1).
void Transpose64(uint64_t a[64]) {
  uint64_t m = 0x00000000FFFFFFFFull;
  for (int j = 32; j != 0; j >>= 1, m ^= (m << j)) {
    for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
      const uint64_t t = ((a[k] >> j) ^ a[k | j]) & m;
      a[k] ^= t << j;
      a[k | j] ^= t;
    }
  }
}

// Fills the column-packed mask from the row-packed one, 64 x 64 pixels at a time; blocks
// without a mark are skipped, as the columns start clear.
void BuildColumns(ExactRectFinderContext& context) {
  uint64_t block[64];
  for (size_t by = 0; by < context.columnWords; ++by) {
    for (size_t bx = 0; bx < context.rowWords; ++bx) {
      uint64_t any = 0;
      for (size_t i = 0; i < 64; ++i) {
        const size_t y = by * 64 + i;
        block[i] =
            y < static_cast<size_t>(context.height) ? context.rows[y * context.rowWords + bx] : 0;
        any |= block[i];
      }
      if (!any) continue;
      Transpose64(block);
      for (size_t j = 0; j < 64; ++j) {
        const size_t x = bx * 64 + j;
        if (x >= static_cast<size_t>(context.width)) break;
        context.columns[x * context.columnWords + by] = block[j];
      }
    }
  }
}

#if defined(__SSE2__)
// The three channel ranges laid out over 48 bytes (16 pixels), made once per search.
struct VectorRanges {
  __m128i lows[3];
  __m128i spans[3];
};

VectorRanges MakeVectorRanges(const ChannelRange range[3]) {
  alignas(16) uint8_t low[48];
  alignas(16) uint8_t span[48];
  for (int i = 0; i < 48; ++i) {
    low[i] = range[i % 3].low;
    span[i] = range[i % 3].span;
  }
  VectorRanges ranges;
  for (int i = 0; i < 3; ++i) {
    ranges.lows[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(low + 16 * i));
    ranges.spans[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(span + 16 * i));
  }
  return ranges;
}

// Marks the row 16 pixels (48 bytes) at a time: each byte is compared with its channel's
// range, and a pixel matches when its three byte results are all set. Blocks without a match,
// the common case for a rare colour, cost a handful of instructions. Returns the first column
// left for the scalar tail.
int32_t MarkRowVector(const uint8_t* bytes, int32_t width, const VectorRanges& ranges,
                      uint64_t* row) {
  const __m128i* lows = ranges.lows;
  const __m128i* spans = ranges.spans;
  constexpr uint64_t kPixelStarts = 0x249249249249ull;  // bits 0, 3, ..., 45
  int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const uint8_t* block = bytes + 3 * static_cast<size_t>(x);
    uint64_t matches = 0;
    for (int i = 0; i < 3; ++i) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
      const __m128i d = _mm_sub_epi8(v, lows[i]);
      const __m128i inside = _mm_cmpeq_epi8(_mm_max_epu8(d, spans[i]), spans[i]);
      matches |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(inside)))
                 << (16 * i);
    }
    uint64_t pixels = matches & (matches >> 1) & (matches >> 2) & kPixelStarts;
    if (pixels) {
      uint64_t bits = 0;
      while (pixels) {
        bits |= uint64_t{1} << (std::countr_zero(pixels) / 3);
        pixels &= pixels - 1;
      }
      row[static_cast<size_t>(x) / 64] |= bits << (x % 64);
    }
  }
  return x;
}
#endif

}  // namespace

ExactRectFinderContext::ExactRectFinderContext(int32_t maskWidth, int32_t maskHeight) {
  if (maskWidth < 1 || maskHeight < 1) return;
  width = maskWidth;
  height = maskHeight;
  rowWords = WordsFor(width);
  columnWords = WordsFor(height);
  rows.assign(rowWords * static_cast<size_t>(height), 0);
  columns.assign(columnWords * static_cast<size_t>(width), 0);
}

void ExactRectFinderContext::Mark(int32_t x, int32_t y) {
  rows[static_cast<size_t>(y) * rowWords + static_cast<size_t>(x) / 64] |= uint64_t{1} << (x % 64);
  columns[static_cast<size_t>(x) * columnWords + static_cast<size_t>(y) / 64] |= uint64_t{1}
                                                                                 << (y % 64);
}

int32_t ExactRectFinderContext::RunRight(int32_t x, int32_t y) const {
  return CountOnesUp(rows.data() + static_cast<size_t>(y) * rowWords, x, width);
}

int32_t ExactRectFinderContext::RunDown(int32_t x, int32_t y) const {
  // Vertical runs are mostly short: the next row's word is at hand, the column's may not be.
  if (y + 1 >= height || !Marked(x, y + 1)) return Marked(x, y) ? 1 : 0;
  return CountOnesUp(columns.data() + static_cast<size_t>(x) * columnWords, y, height);
}

int32_t ExactRectFinderContext::RunLeft(int32_t x, int32_t y) const {
  return CountOnesDown(rows.data() + static_cast<size_t>(y) * rowWords, x);
}

int32_t ExactRectFinderContext::RunUp(int32_t x, int32_t y) const {
  if (y == 0 || !Marked(x, y - 1)) return Marked(x, y) ? 1 : 0;
  return CountOnesDown(columns.data() + static_cast<size_t>(x) * columnWords, y);
}

ExactRectFinderContext MarkColor(const Bitmap& bitmap, const Color& color, int tolerance) {
  const bool usable = bitmap.width >= 1 && bitmap.height >= 1 &&
                      bitmap.pixels.size() >=
                          static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height);
  if (!usable) return ExactRectFinderContext(0, 0);
  ExactRectFinderContext context(bitmap.width, bitmap.height);
  // |v - c| <= tolerance with v in 0..255 is v in [max(c - t, 0), min(c + t, 255)].
  if (tolerance < 0) return context;
  const int t = std::min(tolerance, 255);
  const uint8_t wanted[3] = {color.b, color.g, color.r};
  ChannelRange range[3];
  for (int i = 0; i < 3; ++i) {
    const int low = std::max(wanted[i] - t, 0);
    const int high = std::min(wanted[i] + t, 255);
    range[i] = ChannelRange{static_cast<uint8_t>(low), static_cast<uint8_t>(high - low)};
  }

#if defined(__SSE2__)
  const VectorRanges vectorRanges = MakeVectorRanges(range);
#endif
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(bitmap.pixels.data());
  const size_t rowBytes = 3 * static_cast<size_t>(bitmap.width);
  for (int32_t y = 0; y < bitmap.height; ++y) {
    const uint8_t* pixels = bytes + static_cast<size_t>(y) * rowBytes;
    uint64_t* row = context.rows.data() + static_cast<size_t>(y) * context.rowWords;
    int32_t x = 0;
#if defined(__SSE2__)
    x = MarkRowVector(pixels, bitmap.width, vectorRanges, row);
#endif
    MarkRowScalar(pixels, x, bitmap.width, range, row);
  }
  BuildColumns(context);
  return context;
}

int TraceRects(const ExactRectFinderContext& context, int32_t x, int32_t y, Rect out[2]) {
  // Most seeds start a one-pixel-wide or one-pixel-high stroke. Where an edge is one pixel
  // long, the run that closes the trace walks back over a run already measured, so it is at
  // least as long and the min() it enters is known without walking it.
  const int32_t top = context.RunRight(x, y);
  if (top == 0) return 0;  // an unmarked seed: every run from it is 0
  const int32_t left2 = context.RunDown(x, y);
  int count = 0;
  // Clockwise: top edge, right edge, bottom edge, left edge.
  if (top == 1) {
    // The right edge is the seed's column: its bottom run is >= 1 and the left edge, running
    // up that same column, is >= its length.
    out[count++] = Rect{x, y, 1, left2};
  } else {
    const int32_t right = context.RunDown(x + top - 1, y);
    if (right == 1) {
      // The bottom edge is the top row, run left from its end: >= top. The left edge is >= 1.
      out[count++] = Rect{x, y, top, 1};
    } else {
      const int32_t bottom = context.RunLeft(x + top - 1, y + right - 1);
      const int32_t left = context.RunUp(x, y + right - 1);
      if (left > 0) out[count++] = Rect{x, y, std::min(top, bottom), std::min(right, left)};
    }
  }
  // Counter-clockwise: left edge, bottom edge, right edge, top edge.
  if (left2 == 1) {
    // The bottom edge is the top row (length top), the top edge runs back over it: >= top;
    // the right edge is >= 1.
    out[count++] = Rect{x, y, top, 1};
  } else {
    const int32_t bottom2 = context.RunRight(x, y + left2 - 1);
    if (bottom2 == 1) {
      // The right edge runs up the seed's column (>= left2); the top edge is >= 1.
      out[count++] = Rect{x, y, 1, left2};
    } else {
      const int32_t right2 = context.RunUp(x + bottom2 - 1, y + left2 - 1);
      const int32_t top2 = context.RunLeft(x + bottom2 - 1, y);
      if (top2 > 0) out[count++] = Rect{x, y, std::min(bottom2, top2), std::min(right2, left2)};
    }
  }
  return count;
}

namespace {

// Calls `visit` with every candidate of the search, in the order found, each once.
template <typename Visit>
void ScanCandidates(const ExactRectFinderContext& context, Visit&& visit) {
  if (context.width < 1 || context.height < 1) return;

  // Every candidate's top edge is the row of its seed, and seeds come in row-major order, so
  // while row y is scanned every candidate found so far starts at row y or above. Pixel (x, y)
  // therefore lies inside one of them exactly when some candidate spanning column x reaches
  // below row y: keeping, per column, the lowest bottom edge reached answers the containment
  // test in one step. Spans added per row sum to at most twice the width, since a seed's
  // candidates cover the row from the seed to their right edges and the next seed lies beyond.
  std::vector<int32_t> reach(static_cast<size_t>(context.width), 0);
  for (int32_t y = 0; y < context.height; ++y) {
    const uint64_t* row = context.rows.data() + static_cast<size_t>(y) * context.rowWords;
    for (size_t w = 0; w < context.rowWords; ++w) {
      uint64_t bits = row[w];
      while (bits) {
        const int32_t x = static_cast<int32_t>(w * 64) + std::countr_zero(bits);
        bits &= bits - 1;
        if (reach[static_cast<size_t>(x)] > y) continue;
        Rect traced[2];
        const int count = TraceRects(context, x, y, traced);
        // Both traces start at this seed and no earlier candidate does (each pixel seeds at
        // most once), so a traced rectangle can only duplicate its sibling.
        for (int i = 0; i < count; ++i) {
          if (i == 1 && traced[1] == traced[0]) break;
          const Rect& r = traced[i];
          visit(r);
          for (int32_t cx = r.x; cx < r.x + r.width; ++cx) {
            int32_t& bottom = reach[static_cast<size_t>(cx)];
            bottom = std::max(bottom, r.y + r.height);
          }
        }
      }
    }
  }
}

}  // namespace

std::vector<Rect> FindCandidates(const ExactRectFinderContext& context) {
  std::vector<Rect> candidates;
  ScanCandidates(context, [&](const Rect& r) { candidates.push_back(r); });
  return candidates;
}

}  // namespace detail

bool ExactRectFinder::Find(const Color& color, int tolerance, Rect& result) const {
  const detail::ExactRectFinderContext context = detail::MarkColor(m_bitmap, color, tolerance);
  // The first of the largest areas, as a stable sort by area would put first. Candidates are
  // weighed as they are found instead of being kept: a frame full of marks has millions.
  // Every candidate covers at least its seed pixel, so an area of 0 means none was found.
  Rect best;
  int64_t bestArea = 0;
  detail::ScanCandidates(context, [&](const Rect& candidate) {
    const int64_t area = static_cast<int64_t>(candidate.width) * candidate.height;
    if (area > bestArea) {
      best = candidate;
      bestArea = area;
    }
  });
  if (bestArea == 0) return false;
  result = best;
  return true;
}

}  // namespace morel_xy
