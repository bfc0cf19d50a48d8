#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/bitmap.h"
#include "records/rect.h"

namespace morel_xy {

namespace detail {

// The state of one search: which pixels have the wanted colour. The mask is kept twice, packed
// 64 pixels to a word: by rows (for horizontal runs) and by columns (for vertical runs), so a
// run of n marked pixels costs about n / 64 steps in either direction.
struct ExactRectFinderContext {
  int32_t width = 0;
  int32_t height = 0;
  size_t rowWords = 0;     // words per row; bits past the last column stay clear
  size_t columnWords = 0;  // words per column; bits past the last row stay clear
  std::vector<uint64_t> rows;
  std::vector<uint64_t> columns;

  // An all-clear mask of width × height pixels (nothing when either is below 1).
  ExactRectFinderContext(int32_t maskWidth, int32_t maskHeight);

  bool Marked(int32_t x, int32_t y) const {
    return (rows[static_cast<size_t>(y) * rowWords + static_cast<size_t>(x) / 64] >> (x % 64)) & 1u;
  }
  void Mark(int32_t x, int32_t y);

  // Lengths of the runs of marked pixels starting at (x, y) and stepping right, down, left or
  // up; 0 when (x, y) itself is clear. The pixel must lie inside the mask.
  int32_t RunRight(int32_t x, int32_t y) const;
  int32_t RunDown(int32_t x, int32_t y) const;
  int32_t RunLeft(int32_t x, int32_t y) const;
  int32_t RunUp(int32_t x, int32_t y) const;
};

// Marks every pixel of `bitmap` whose three channels each lie within `tolerance` of `color`'s.
// A bitmap whose pixel vector is shorter than width × height gives an empty mask.
ExactRectFinderContext MarkColor(const Bitmap& bitmap, const Color& color, int tolerance);

// The candidates of one search in the order they are found, each once (what Find weighs).
std::vector<Rect> FindCandidates(const ExactRectFinderContext& context);

// The (at most two) rectangles traced from the marked pixel (x, y), clockwise first; `out`
// receives them and the count is returned. Duplicates are not removed here.
int TraceRects(const ExactRectFinderContext& context, int32_t x, int32_t y, Rect out[2]);

}  // namespace detail

// Finds the largest axis-aligned rectangle, filled or outlined, of one colour in a bitmap.
// Holds a reference to the bitmap, which must outlive the finder.
class ExactRectFinder {
 public:
  explicit ExactRectFinder(const Bitmap& bitmap) : m_bitmap(bitmap) {}

  // True and `result` set (bitmap pixels) when some rectangle of `color`, each channel within
  // `tolerance`, exists; false and `result` untouched otherwise. Of several largest
  // candidates the first found wins.
  bool Find(const Color& color, int tolerance, Rect& result) const;

 private:
  const Bitmap& m_bitmap;
};

}  // namespace morel_xy
