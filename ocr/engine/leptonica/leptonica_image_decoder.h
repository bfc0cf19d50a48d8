#pragma once

#include <cstdint>

#include "engine/interfaces/image_decoder.h"

namespace ocr::engine {

// Decodes PNG, JPEG, TIFF, BMP, GIF and WebP (and what else Leptonica reads) into a page
// bitmap of depth 1, 8 or 32 without alpha.
class LeptonicaImageDecoder final : public ImageDecoder {
 public:
  // More than an A0 sheet at 300 DPI (9933 x 14043 = 139.5 million pixels), and small
  // enough that the recogniser's working copies of it still fit in memory.
  static constexpr int64_t kMaxPixels = 150'000'000;

  LeptonicaImageDecoder();
  DecodeOutcome Decode(const std::string& path) override;
};

// Keeps Leptonica from writing its diagnostics to standard error.
void SilenceLeptonica();

}  // namespace ocr::engine
