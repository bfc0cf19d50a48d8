#pragma once

#include "engine/interfaces/pdf_renderer.h"

namespace ocr::engine {

// Opens and renders PDF documents with Poppler's core (Splash) renderer, the one behind
// pdftoppm: unlike poppler-cpp it can render the media box rather than the crop box.
class PopplerPdfOpener final : public PdfOpener {
 public:
  PopplerPdfOpener();  // initialises Poppler's process-wide state and silences its messages
  std::unique_ptr<PdfDocument> Open(const std::string& path) override;
};

}  // namespace ocr::engine
