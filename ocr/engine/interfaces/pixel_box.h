#pragma once

namespace ocr::engine {

// A pixel box with a top-left origin; right and bottom exclusive.
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

}  // namespace ocr::engine
