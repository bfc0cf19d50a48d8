#pragma once

#include <string>

#include "engine/interfaces/bitmap.h"

namespace ocr::engine {

class PngWriter {
 public:
  virtual ~PngWriter() = default;
  // Writes bitmap as a PNG file at path, replacing any file there. False when the file
  // cannot be created or written. Never throws.
  virtual bool Write(const Bitmap& bitmap, const std::string& path) = 0;
};

}  // namespace ocr::engine
