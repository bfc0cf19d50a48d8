#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/color.h"

namespace morel_xy {

// A captured image: row-major, top row first, no padding.
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<Color> pixels;

  // Writes an uncompressed 32-bit bottom-up BMP file. Failures are not reported; when the
  // file cannot be created nothing is written.
  void Save(const std::string& path) const;
};

}  // namespace morel_xy
