#pragma once

#include <memory>

#include "engine/interfaces/bitmap.h"

struct Boxa;
struct Pix;
struct Pixa;

namespace ocr::engine {

// Owns a Pix for code that builds intermediate images. The call operator lives in the .cc
// file so this header stays free of Leptonica.
struct PixDeleter {
  void operator()(Pix* pix) const;
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

// Owns the Boxa Leptonica hands out (connected components' boxes).
struct BoxaDeleter {
  void operator()(Boxa* boxa) const;
};
using BoxaPtr = std::unique_ptr<Boxa, BoxaDeleter>;

// Owns the Pixa Leptonica hands out (connected components' images).
struct PixaDeleter {
  void operator()(Pixa* pixa) const;
};
using PixaPtr = std::unique_ptr<Pixa, PixaDeleter>;

// A Leptonica image as a page bitmap. Owns the Pix.
class PixBitmap final : public Bitmap {
 public:
  explicit PixBitmap(Pix* pix);  // takes ownership; pix must not be null

  int Width() const override;
  int Height() const override;
  Pix* pix() const { return pix_.get(); }

 private:
  PixPtr pix_;
};

}  // namespace ocr::engine
