#pragma once

#include <memory>
#include <string>

#include "engine/interfaces/bitmap.h"

namespace ocr::engine {

enum class DecodeStatus {
  ok,
  undecodable,  // unreadable, not an image, corrupt, or too large to hold
  notDrawable,  // decoded, but could not be turned into a page bitmap
};

struct DecodeOutcome {
  DecodeStatus status = DecodeStatus::undecodable;
  std::unique_ptr<Bitmap> bitmap;  // set only for ok
};

class ImageDecoder {
 public:
  virtual ~ImageDecoder() = default;
  // Decodes the file at path as stored (orientation metadata is not applied). Refuses,
  // before allocating pixels, an image whose header announces more pixels than the tool
  // can hold. Never throws; one call at a time.
  virtual DecodeOutcome Decode(const std::string& path) = 0;
};

}  // namespace ocr::engine
