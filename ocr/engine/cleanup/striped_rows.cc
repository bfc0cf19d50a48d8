#include "engine/cleanup/striped_rows.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "engine/cleanup/page_ink.h"
#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {
namespace {

// A stripe is a table's width: at least this many CSS pixels.
constexpr double kMinStripeWidth = 200;
// Its colour differs from the background by at least this, and is no ink.
constexpr int kMinStripeContrast = 4;
// Pixels within this of the stripe's colour are the stripe.
constexpr int kLevelSlack = 2;

struct Run {
  int x0 = 0, x1 = 0;  // inclusive-exclusive
  int level = 0;
};

struct Band {
  int x0 = 0, x1 = 0, top = 0, bottom = 0, level = 0;
};

int GreyAt(const l_uint32* line, int x) {
  return static_cast<int>(GET_DATA_BYTE(line, x));
}

// The longest run of one colour of the row that is neither background nor ink.
std::optional<Run> StripeRun(const l_uint32* line, int width, int background, int minWidth) {
  std::optional<Run> best;
  int x = 0;
  while (x < width) {
    const int level = GreyAt(line, x);
    int end = x + 1;
    while (end < width && std::abs(GreyAt(line, end) - level) <= kLevelSlack) ++end;
    const int contrast = std::abs(level - background);
    if (end - x >= minWidth && contrast >= kMinStripeContrast && contrast < kInkContrast &&
        (!best || end - x > best->x1 - best->x0)) {
      best = Run{x, end, level};
    }
    x = end;
  }
  return best;
}

bool SameColumns(const Band& a, const Band& b, int slack) {
  return std::abs(a.x0 - b.x0) <= slack && std::abs(a.x1 - b.x1) <= slack &&
         std::abs(a.level - b.level) <= 2 * kLevelSlack;
}

}  // namespace

std::vector<TableRow> FindStripedRows(Pix* image, int dpi, int firstTable) {
  std::vector<TableRow> rows;
  if (image == nullptr || dpi <= 0) return rows;
  // Looked at as the ink is.
  const int f = DetectionSubsampling(dpi);
  const PixPtr grey = GreyAtDetectionScale(image, f);
  if (!grey) return rows;
  const std::optional<int> background = MedianGrey(grey.get());
  if (!background) return rows;
  const int width = pixGetWidth(grey.get());
  const int height = pixGetHeight(grey.get());
  const int wpl = pixGetWpl(grey.get());
  const l_uint32* data = pixGetData(grey.get());
  const int minWidth = static_cast<int>(kMinStripeWidth * dpi / 96.0 / f);
  const int slack = std::max(2, minWidth / 40);

  // Bands: from a row with a stripe-wide run, down through the rows whose ends still have
  // the stripe's colour (text inside the band breaks its runs, not its margins).
  std::vector<Band> bands;
  for (int y = 0; y < height;) {
    const l_uint32* line = data + static_cast<ptrdiff_t>(y) * wpl;
    const std::optional<Run> run = StripeRun(line, width, *background, minWidth);
    if (!run) {
      ++y;
      continue;
    }
    Band band{run->x0, run->x1, y, y + 1, run->level};
    const auto matches = [&](int x, const l_uint32* row) {
      return std::abs(GreyAt(row, x) - band.level) <= kLevelSlack;
    };
    while (band.bottom < height) {
      const l_uint32* next = data + static_cast<ptrdiff_t>(band.bottom) * wpl;
      if (!matches(band.x0 + 1, next) || !matches(band.x1 - 2, next)) break;
      ++band.bottom;
    }
    bands.push_back(band);
    y = band.bottom;
  }

  // Tables: bands over the same columns, each a background row's height below the last.
  int table = firstTable;
  for (size_t i = 0; i < bands.size();) {
    size_t end = i + 1;
    while (end < bands.size() && SameColumns(bands[i], bands[end], slack)) {
      const int gap = bands[end].top - bands[end - 1].bottom;
      const int tall =
          std::max(bands[end].bottom - bands[end].top, bands[end - 1].bottom - bands[end - 1].top);
      if (gap <= 0 || gap > 2 * tall) break;
      ++end;
    }
    if (end - i >= 2) {
      std::vector<int> gaps;
      for (size_t k = i + 1; k < end; ++k) gaps.push_back(bands[k].top - bands[k - 1].bottom);
      std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
      const int gap = gaps[gaps.size() / 2];
      const int x0 = bands[i].x0 * f;
      const int x1 = bands[i].x1 * f;
      const auto add = [&](int top, int bottom) {
        rows.push_back({{x0, std::max(0, top) * f, x1, std::min(height, bottom) * f}, table});
      };
      add(bands[i].top - gap, bands[i].top);
      for (size_t k = i; k < end; ++k) {
        add(bands[k].top, bands[k].bottom);
        add(bands[k].bottom, k + 1 < end ? bands[k + 1].top : bands[k].bottom + gap);
      }
      ++table;
    }
    i = end;
  }
  return rows;
}

}  // namespace ocr::engine
