#include "engine/leptonica/pix_bitmap.h"

#include <leptonica/allheaders.h>

namespace ocr::engine {

void PixDeleter::operator()(Pix* pix) const {
  pixDestroy(&pix);
}

void BoxaDeleter::operator()(Boxa* boxa) const {
  boxaDestroy(&boxa);
}

void PixaDeleter::operator()(Pixa* pixa) const {
  pixaDestroy(&pixa);
}

PixBitmap::PixBitmap(Pix* pix) : pix_(pix) {}

int PixBitmap::Width() const {
  return pixGetWidth(pix_.get());
}

int PixBitmap::Height() const {
  return pixGetHeight(pix_.get());
}

}  // namespace ocr::engine
