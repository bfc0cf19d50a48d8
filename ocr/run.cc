#include "run.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "print_error.h"
#include "recognition_results.h"
#include "result_json.h"

namespace ocr {
namespace {

namespace fs = std::filesystem;

double NowSeconds() {
  using Seconds = std::chrono::duration<double>;
  return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::path(path), error);
}

bool IsPdfPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".pdf";
}

// Progress goes to standard output a whole line at a time, so a caller reading the pipe
// sees each page as it starts.
void PrintProgress(int64_t page, int64_t count) {
  std::printf("Processing PDF page %lld / %lld ...\n", static_cast<long long>(page),
              static_cast<long long>(count));
  std::fflush(stdout);
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text.push_back('\n');
    text += lines[i].text;
  }
  return text;
}

}  // namespace

std::optional<PageResult> RunPage(engine::Recognizer& recognizer, const engine::Bitmap& image,
                                  const std::optional<std::vector<std::string>>& langsQ,
                                  engine::RecognitionLevel recognitionLevel,
                                  std::optional<int> pdfDpiQ) {
  PageResult holder;
  engine::RecognitionRequest request;
  request.languages = langsQ;
  request.level = recognitionLevel;
  request.dpi = pdfDpiQ;

  const double start = NowSeconds();
  std::string error;
  std::optional<engine::RequestOutcome> outcome = recognizer.Perform(image, request, &error);
  if (!outcome) {
    PrintError("Unable to perform text recognition: " + error);
    return std::nullopt;
  }
  // What the request's completion does: keep the empty page unless texts came back.
  if (std::optional<RecognizedTexts> texts = FetchTextsQ(*outcome)) {
    holder = ProcessTexts(image, *texts, pdfDpiQ);
  }
  holder.duration = NowSeconds() - start;
  holder.combinedText = JoinLines(holder.lines);
  return holder;
}

std::unique_ptr<engine::Bitmap> MakeCgImageQFromPdfPage(engine::PdfDocument& document,
                                                        const engine::PdfPage& page,
                                                        const engine::PdfBox& mediaBox, int dpi,
                                                        int64_t pageNumber) {
  const double scale = dpi / 72.0;
  const double width = std::trunc(scale * mediaBox.width);
  const double height = std::trunc(scale * mediaBox.height);
  const std::string contextError =
      "Could not create CGContext for PDF page " + std::to_string(pageNumber);
  // Checked in floating point before anything is allocated: a hostile media box must not
  // overflow the size computation nor ask for gigabytes.
  if (!(width >= 1 && height >= 1) ||
      width * height * 4 > static_cast<double>(kMaxPdfBitmapBytes)) {
    PrintError(contextError);
    return nullptr;
  }
  int widthPx = static_cast<int>(width);
  int heightPx = static_cast<int>(height);
  // An upright page: a quarter turn swaps the bitmap's sides.
  if (page.Rotation() == 90 || page.Rotation() == 270) std::swap(widthPx, heightPx);

  engine::RenderOutcome rendered = document.Render(page, dpi, widthPx, heightPx);
  switch (rendered.status) {
    case engine::RenderStatus::ok:
      return std::move(rendered.bitmap);
    case engine::RenderStatus::noContext:
      PrintError(contextError);
      return nullptr;
    case engine::RenderStatus::noImage:
      break;
  }
  PrintError("Could not create CGImage for PDF page " + std::to_string(pageNumber));
  return nullptr;
}

void SavePdfPageCgImage(engine::PngWriter& writer, const engine::Bitmap& image,
                        const std::string& directory, const std::string& baseName,
                        int64_t pageNumber) {
  const std::string path = directory + "/" + baseName + "-p" + std::to_string(pageNumber) + ".png";
  if (!writer.Write(image, path)) {
    PrintError("Could not save CGImage for PDF page " + std::to_string(pageNumber));
  }
}

bool Run(Engines& engines, const std::string& inputPath,
         const std::optional<std::vector<std::string>>& langsQ,
         engine::RecognitionLevel recognitionLevel, BreakdownMode breakdownMode,
         std::optional<int64_t> pdfPageNumberQ, const std::optional<std::string>& pdfImageDirPathQ,
         const std::string& outputPath) {
  if (!Exists(inputPath)) {
    PrintError("Bad input image path: " + inputPath);
    return false;
  }
  if (pdfImageDirPathQ && !Exists(*pdfImageDirPathQ)) {
    std::error_code error;
    fs::create_directories(fs::path(*pdfImageDirPathQ), error);
    if (error) {
      PrintError("Could not create PDF images directory \"" + *pdfImageDirPathQ +
                 "\": " + error.message());
      return false;
    }
  }
  const bool isPdf = IsPdfPath(inputPath);
  const std::string baseName = fs::path(inputPath).stem().string();
  DocResult doc;
  const double start = NowSeconds();

  if (!isPdf) {
    engine::DecodeOutcome decoded = engines.imageDecoder.Decode(inputPath);
    if (decoded.status == engine::DecodeStatus::undecodable) {
      PrintError("Bad input image");
      return false;
    }
    if (decoded.status != engine::DecodeStatus::ok || !decoded.bitmap) {
      PrintError("Could not create CGImage from input image");
      return false;
    }
    std::optional<PageResult> page =
        RunPage(engines.recognizer, *decoded.bitmap, langsQ, recognitionLevel, std::nullopt);
    if (!page) return false;
    doc.pages.push_back(std::move(*page));
  } else {
    std::unique_ptr<engine::PdfDocument> document = engines.pdfOpener.Open(inputPath);
    if (!document) {
      PrintError("Bad input PDF");
      return false;
    }
    const int64_t count = document->PageCount();
    for (int64_t p = 1; p <= count; ++p) {
      if (pdfPageNumberQ && *pdfPageNumberQ != p) continue;
      PrintProgress(p, count);
      std::unique_ptr<engine::PdfPage> page = document->Page(static_cast<int>(p));
      if (!page) {
        PrintError("Could not get PDF page " + std::to_string(p));
        return false;
      }
      // The bitmap lives only for this iteration: one page in memory at a time.
      std::unique_ptr<engine::Bitmap> bitmap =
          MakeCgImageQFromPdfPage(*document, *page, page->MediaBox(), kPdfDpi, p);
      if (!bitmap) return false;
      if (pdfImageDirPathQ) {
        SavePdfPageCgImage(engines.pngWriter, *bitmap, *pdfImageDirPathQ, baseName, p);
      }
      std::optional<PageResult> result =
          RunPage(engines.recognizer, *bitmap, langsQ, recognitionLevel, kPdfDpi);
      if (!result) return false;
      doc.pages.push_back(std::move(*result));
    }
  }
  doc.duration = NowSeconds() - start;
  return WriteJsonStringToPath(MakeJsonStringFromDocResult(doc, breakdownMode), outputPath);
}

}  // namespace ocr
