#include "engine/pix_bitmap.h"

#include <leptonica/allheaders.h>

namespace ocr::engine {

void PixDeleter::operator()(Pix* pix) const {
  pixDestroy(&pix);
}

PixBitmap::PixBitmap(Pix* pix) : pix_(pix) {}

PixBitmap::~PixBitmap() {
  pixDestroy(&pix_);
}

int PixBitmap::Width() const {
  return pixGetWidth(pix_);
}

int PixBitmap::Height() const {
  return pixGetHeight(pix_);
}

}  // namespace ocr::engine
