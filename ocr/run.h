#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "engine/image_decoder.h"
#include "engine/page_pipeline.h"
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
  // The pages of a PDF are read side by side: the first worker uses `recognizer`, the
  // others recognisers made here, and `pagePipeline` runs them.
  engine::RecognizerFactory& recognizerFactory;
  engine::PagePipeline& pagePipeline;
};

inline constexpr int kPdfDpi = 300;

// At most this many pages are recognised at once, whatever the number of cores: each
// worker holds a Tesseract engine and a page's working copies (measured: about 170 MiB per
// worker on a Letter page, see the README), so peak memory stays bounded on large machines.
inline constexpr int kMaxPageWorkers = 8;

// How many pages a PDF run recognises at once: the cores the process may use, no more than
// the pages it reads, and no more than kMaxPageWorkers.
int PageWorkers(int usableCores, int64_t pages);

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
