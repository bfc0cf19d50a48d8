#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ocr {

// A rectangle in 64-bit floating point: origin x, origin y, width, height. Boxes of the
// result model use output pixel units with a top-left origin and stay unrounded.
struct CGRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// Half-open range [lower, upper) of positions or indexes.
struct IndexRange {
  size_t lower = 0;
  size_t upper = 0;
  bool IsEmpty() const { return lower == upper; }
  friend bool operator==(const IndexRange&, const IndexRange&) = default;
};

struct Word {
  std::string text;
  CGRect boundingRectPx;
};

struct Line {
  std::string text;
  IndexRange wordRange;  // indexes into the owning page's words
  CGRect boundingRectPx;
};

struct PageResult {
  std::vector<Line> lines;
  std::vector<Word> words;
  std::string combinedText;
  double duration = 0;  // seconds
};

struct DocResult {
  std::vector<PageResult> pages;
  double duration = 0;  // seconds
};

enum class BreakdownMode : std::uint8_t { lines = 0, words = 1 };

}  // namespace ocr
