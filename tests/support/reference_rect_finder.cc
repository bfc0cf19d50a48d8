#include "reference_rect_finder.h"

#include <algorithm>
#include <cstdlib>

namespace morel_test {
namespace {

using morel_xy::Rect;

struct Mask {
  int width = 0;
  int height = 0;
  std::vector<bool> bits;
  bool At(int x, int y) const { return bits[static_cast<size_t>(y) * width + x]; }
};

int Run(const Mask& mask, int x, int y, int dx, int dy) {
  int count = 0;
  while (x >= 0 && y >= 0 && x < mask.width && y < mask.height && mask.At(x, y)) {
    ++count;
    x += dx;
    y += dy;
  }
  return count;
}

void Append(std::vector<Rect>& rects, const Rect& rect) {
  for (const Rect& existing : rects) {
    if (existing == rect) return;
  }
  rects.push_back(rect);
}

void TraceFrom(const Mask& mask, int x, int y, std::vector<Rect>& rects) {
  const int t = Run(mask, x, y, 1, 0);
  if (t != 0) {
    const int r = Run(mask, x + t - 1, y, 0, 1);
    const int b = Run(mask, x + t - 1, y + r - 1, -1, 0);
    const int l = Run(mask, x, y + r - 1, 0, -1);
    if (l != 0) Append(rects, Rect{x, y, std::min(t, b), std::min(r, l)});
  }
  const int l2 = Run(mask, x, y, 0, 1);
  if (l2 == 0) return;
  const int b2 = Run(mask, x, y + l2 - 1, 1, 0);
  const int r2 = Run(mask, x + b2 - 1, y + l2 - 1, 0, -1);
  const int t2 = Run(mask, x + b2 - 1, y, -1, 0);
  if (t2 == 0) return;
  Append(rects, Rect{x, y, std::min(b2, t2), std::min(r2, l2)});
}

}  // namespace

ReferenceSearch ReferenceFindRect(const morel_xy::Bitmap& bitmap, const morel_xy::Color& color,
                                  int tolerance) {
  ReferenceSearch search;
  const int w = bitmap.width;
  const int h = bitmap.height;
  if (w < 1 || h < 1) return search;
  Mask mask{w, h, std::vector<bool>(static_cast<size_t>(w) * h)};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const morel_xy::Color& p = bitmap.pixels[static_cast<size_t>(y) * w + x];
      mask.bits[static_cast<size_t>(y) * w + x] = std::abs(p.b - color.b) <= tolerance &&
                                                  std::abs(p.g - color.g) <= tolerance &&
                                                  std::abs(p.r - color.r) <= tolerance;
    }
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!mask.At(x, y)) continue;
      bool inside = false;
      for (const Rect& c : search.candidates) {
        if (c.x <= x && x < c.x + c.width && c.y <= y && y < c.y + c.height) {
          inside = true;
          break;
        }
      }
      if (!inside) TraceFrom(mask, x, y, search.candidates);
    }
  }
  if (search.candidates.empty()) return search;
  std::vector<Rect> sorted = search.candidates;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Rect& a, const Rect& b) {
    return static_cast<long long>(a.width) * a.height > static_cast<long long>(b.width) * b.height;
  });
  search.found = true;
  search.result = sorted.front();
  return search;
}

}  // namespace morel_test
