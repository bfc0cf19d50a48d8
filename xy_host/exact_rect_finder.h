#pragma once

#include <vector>

#include "records.h"

namespace morel_xy {

namespace detail {

// The state of one search.
struct ExactRectFinderContext {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<bool> mask;  // bit y * width + x set for pixels of the wanted colour
};

}  // namespace detail

// Finds the largest axis-aligned rectangle, filled or outlined, of one colour in a bitmap.
// Holds a reference to the bitmap, which must outlive the finder.
class ExactRectFinder {
 public:
  explicit ExactRectFinder(const Bitmap& bitmap) : m_bitmap(bitmap) {}

  // True and `result` set (bitmap pixels) when some rectangle of `color`, each channel within
  // `tolerance`, exists; false and `result` untouched otherwise.
  bool Find(const Color& color, int tolerance, Rect& result) const;

  // Traces the (at most two) candidates whose top-left corner is the marked pixel (x, y) and
  // appends each that `rects` does not hold yet.
  static void FindRects(const detail::ExactRectFinderContext& context, int x, int y,
                        std::vector<Rect>& rects);

 private:
  const Bitmap& m_bitmap;
};

}  // namespace morel_xy
