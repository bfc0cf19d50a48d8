#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/interfaces/bitmap.h"
#include "engine/interfaces/image_decoder.h"
#include "engine/interfaces/page_pipeline.h"
#include "engine/interfaces/pdf_renderer.h"
#include "engine/interfaces/png_writer.h"
#include "engine/interfaces/recognizer.h"
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

// At most this many pages are recognised at once, whatever the number of cores, and no more
// than the memory budget holds: a worker holds a Tesseract engine (about 64 MiB) and its
// page's bitmap and working copies (about twice the bitmap; measured 110 MiB a worker on
// Letter pages, see the README). Letter pages allow 7 workers, A3 sheets 5, an A0 sheet one.
inline constexpr int kMaxPageWorkers = 8;
inline constexpr int64_t kPageWorkersMemory = int64_t{1} << 30;
inline constexpr int64_t kEngineMemory = int64_t{64} << 20;

// How many pages a PDF run recognises at once: the cores the process may use, no more than
// the pages it reads, kMaxPageWorkers, and what kPageWorkersMemory holds when each page's
// bitmap takes pageBytes.
int PageWorkers(int usableCores, int64_t pages, int64_t pageBytes);

// What one run of the tool is asked to do, as its options gave it.
struct RunRequest {
  std::string inputPath;
  std::string outputPath;
  // Recogniser codes in priority order; absent: the recogniser's defaults.
  std::optional<std::vector<std::string>> langsQ;
  engine::RecognitionLevel recognitionLevel = engine::RecognitionLevel::accurate;
  BreakdownMode breakdownMode = BreakdownMode::lines;
  // The one PDF page to read (1-based); absent: every page.
  std::optional<int64_t> pdfPageNumberQ;
  // Where PNG copies of the rendered PDF pages go; absent: nowhere.
  std::optional<std::string> pdfImageDirPathQ;
};

// Recognises the image or the PDF pages at request.inputPath and writes the result document
// to request.outputPath. True only when the document was written; every failure is reported.
bool Run(Engines& engines, const RunRequest& request);

// One recognition request on one bitmap. Nothing when recognition could not be performed.
std::optional<PageResult> RunPage(engine::Recognizer& recognizer, const engine::Bitmap& image,
                                  const std::optional<std::vector<std::string>>& langsQ,
                                  engine::RecognitionLevel recognitionLevel,
                                  std::optional<int> pdfDpiQ);

enum class PdfRenderFailure { none, noContext, noImage };

struct RenderedPdfPage {
  std::unique_ptr<engine::Bitmap> bitmap;  // set when failure is none
  PdfRenderFailure failure = PdfRenderFailure::none;
};

// Renders the whole media box of page, upright, at dpi. Refuses before allocating a bitmap
// whose pixels would exceed kMaxPdfBitmapBytes. Reports nothing: pages are rendered ahead of
// the driver, which reports a page's failure ("Could not create CGContext/CGImage for PDF
// page p") when it reaches that page.
RenderedPdfPage MakeCgImageQFromPdfPage(engine::PdfDocument& document, const engine::PdfPage& page,
                                        const engine::PdfBox& mediaBox, int dpi);

inline constexpr int64_t kMaxPdfBitmapBytes = int64_t{1} << 30;

// Saves a PNG copy of a rendered page as <dir>/<baseName>-p<pageNumber>.png; a failure is
// reported and otherwise ignored.
void SavePdfPageCgImage(engine::PngWriter& writer, const engine::Bitmap& image,
                        const std::string& directory, const std::string& baseName,
                        int64_t pageNumber);

}  // namespace ocr
