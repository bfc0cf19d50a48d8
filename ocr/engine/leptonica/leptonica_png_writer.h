#pragma once

#include "engine/interfaces/png_writer.h"

namespace ocr::engine {

// Writes PixBitmap pages (the only kind the real engines make) through Leptonica.
class LeptonicaPngWriter final : public PngWriter {
 public:
  bool Write(const Bitmap& bitmap, const std::string& path) override;
};

}  // namespace ocr::engine
