#pragma once

#include <memory>
#include <string>

#include "engine/interfaces/bitmap.h"

namespace ocr::engine {

// A page box in PDF units (1/72 inch), lower-left origin.
struct PdfBox {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

class PdfPage {
 public:
  virtual ~PdfPage() = default;
  virtual PdfBox MediaBox() const = 0;
  // The page's /Rotate normalised to 0, 90, 180 or 270 degrees clockwise.
  virtual int Rotation() const = 0;
};

enum class RenderStatus { ok, noContext, noImage };

struct RenderOutcome {
  RenderStatus status = RenderStatus::noImage;
  std::unique_ptr<Bitmap> bitmap;  // set only for ok
};

class PdfDocument {
 public:
  virtual ~PdfDocument() = default;
  virtual int PageCount() const = 0;
  // Page pageNumber (1-based), or null when the document cannot produce it.
  virtual std::unique_ptr<PdfPage> Page(int pageNumber) = 0;
  // Renders the whole media box of page, upright after its /Rotate, on opaque white, at
  // dpi, into a bitmap of exactly widthPx x heightPx (already swapped for 90/270).
  // noContext when the pixels cannot be allocated, noImage when rendering fails.
  virtual RenderOutcome Render(const PdfPage& page, double dpi, int widthPx, int heightPx) = 0;
};

class PdfOpener {
 public:
  virtual ~PdfOpener() = default;
  // Opens the file as a PDF document; null when it is not one or cannot be read.
  // Never throws; the document is used by one thread at a time.
  virtual std::unique_ptr<PdfDocument> Open(const std::string& path) = 0;
};

}  // namespace ocr::engine
