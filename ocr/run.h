#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "engine/image_decoder.h"
#include "engine/pdf_renderer.h"
#include "engine/png_writer.h"
#include "engine/recognizer.h"
#include "result_model.h"

namespace ocr {

// The services one run works with; main hands in the real ones, tests hand in fakes.
struct Engines {
  engine::Recognizer& recognizer;
  engine::ImageDecoder& imageDecoder;
  engine::PdfOpener& pdfOpener;
  engine::PngWriter& pngWriter;
};

inline constexpr int kPdfDpi = 300;

// Recognises the image or the PDF pages at inputPath and writes the result document to
// outputPath. True only when the document was written; every failure is reported.
bool Run(Engines& engines, const std::string& inputPath,
         const std::optional<std::vector<std::string>>& langsQ,
         engine::RecognitionLevel recognitionLevel, BreakdownMode breakdownMode,
         std::optional<int64_t> pdfPageNumberQ, const std::optional<std::string>& pdfImageDirPathQ,
         const std::string& outputPath);

// One recognition request on one bitmap. Nothing when recognition could not be performed.
std::optional<PageResult> RunPage(engine::Recognizer& recognizer, const engine::Bitmap& image,
                                  const std::optional<std::vector<std::string>>& langsQ,
                                  engine::RecognitionLevel recognitionLevel,
                                  std::optional<int> pdfDpiQ);

// Renders the whole media box of page, upright, at dpi. Refuses before allocating a bitmap
// whose pixels would exceed kMaxPdfBitmapBytes.
std::unique_ptr<engine::Bitmap> MakeCgImageQFromPdfPage(engine::PdfDocument& document,
                                                        const engine::PdfPage& page,
                                                        const engine::PdfBox& mediaBox, int dpi,
                                                        int64_t pageNumber);

inline constexpr int64_t kMaxPdfBitmapBytes = int64_t{1} << 30;

// Saves a PNG copy of a rendered page as <dir>/<baseName>-p<pageNumber>.png; a failure is
// reported and otherwise ignored.
void SavePdfPageCgImage(engine::PngWriter& writer, const engine::Bitmap& image,
                        const std::string& directory, const std::string& baseName,
                        int64_t pageNumber);

}  // namespace ocr
