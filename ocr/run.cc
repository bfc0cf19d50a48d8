#include "run.h"

#include <algorithm>
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

// What a request's completion makes of its outcome, with the page's combined text.
PageResult CompletePage(const engine::RequestOutcome& outcome, const engine::Bitmap& image,
                        std::optional<int> pdfDpiQ) {
  PageResult page;
  if (std::optional<RecognizedTexts> texts = FetchTextsQ(outcome)) {
    page = ProcessTexts(image, *texts, pdfDpiQ);
  }
  page.combinedText = JoinLines(page.lines);
  return page;
}

// The size of a page whose bitmap has already been released.
class BitmapSize final : public engine::Bitmap {
 public:
  BitmapSize(int width, int height) : width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  int width_;
  int height_;
};

// The report of a page that could not be rendered.
void ReportRenderFailure(PdfRenderFailure failure, int64_t pageNumber) {
  PrintError((failure == PdfRenderFailure::noContext ? "Could not create CGContext for PDF page "
                                                     : "Could not create CGImage for PDF page ") +
             std::to_string(pageNumber));
}

// The sides of mediaBox's bitmap at dpi in whole pixels, in floating point: a hostile media
// box can then neither overflow the size computation nor ask for gigabytes before it is
// checked. NaN, zero or negative for a box without area.
struct PdfBitmapSides {
  double width;
  double height;
};
PdfBitmapSides BitmapSidesAt(const engine::PdfBox& mediaBox, int dpi) {
  const double scale = dpi / 72.0;
  return {std::trunc(scale * mediaBox.width), std::trunc(scale * mediaBox.height)};
}

// What the pipeline's stages leave for one page, read by the driver once it has awaited it.
struct PdfPageJob {
  int64_t number = 0;
  bool missing = false;  // the document could not produce the page
  PdfRenderFailure renderFailure = PdfRenderFailure::none;
  // Held until recognised, or until saved when PNG copies are wanted.
  std::unique_ptr<engine::Bitmap> bitmap;
  int width = 0;
  int height = 0;
  std::optional<engine::RequestOutcome> outcome;
  std::string performError;
  double performSeconds = 0;
};

// Ends the pipeline's run however the driver leaves, before the jobs it writes go.
class PipelineRun {
 public:
  explicit PipelineRun(engine::PagePipeline& pipeline) : pipeline_(pipeline) {}
  ~PipelineRun() { pipeline_.Finish(); }
  PipelineRun(const PipelineRun&) = delete;
  PipelineRun& operator=(const PipelineRun&) = delete;

 private:
  engine::PagePipeline& pipeline_;
};

// The selected pages of the document, recognised by PageWorkers workers while the next pages
// are rendered, and handed to doc strictly in page order. Every progress line, message and
// PNG copy comes out exactly as one page after another would make it: the driver prints a
// page's progress line once every earlier page is done, and reports a page's failures,
// saves its copy and builds its result only when it reaches the page, so a failure leaves
// the lines and the single error of the sequential run, whatever later pages did meanwhile.
bool RunPdfPages(Engines& engines, engine::PdfDocument& document, const RunRequest& run,
                 const std::string& baseName, DocResult& doc) {
  const std::optional<int64_t>& pdfPageNumberQ = run.pdfPageNumberQ;
  const std::optional<std::string>& pdfImageDirPathQ = run.pdfImageDirPathQ;
  const int64_t count = document.PageCount();
  std::vector<PdfPageJob> jobs;
  for (int64_t p = 1; p <= count; ++p) {
    if (pdfPageNumberQ && *pdfPageNumberQ != p) continue;
    jobs.emplace_back().number = p;
  }
  if (jobs.empty()) return true;

  // The first page's bitmap stands for the document's when sizing the pool.
  int64_t pageBytes = 0;
  if (std::unique_ptr<engine::PdfPage> first = document.Page(static_cast<int>(jobs[0].number))) {
    const PdfBitmapSides sides = BitmapSidesAt(first->MediaBox(), kPdfDpi);
    const double bytes = 4 * sides.width * sides.height;
    // A box without area (its page fails to render) asks for nothing; NaN must not reach
    // the conversion.
    if (bytes > 0) {
      pageBytes = static_cast<int64_t>(std::min(bytes, static_cast<double>(kMaxPdfBitmapBytes)));
    }
  }
  const int workers =
      PageWorkers(engines.pagePipeline.MaxWorkers(), static_cast<int64_t>(jobs.size()), pageBytes);
  std::vector<std::unique_ptr<engine::Recognizer>> made;
  std::vector<engine::Recognizer*> recognizers{&engines.recognizer};
  for (int k = 1; k < workers; ++k) {
    made.push_back(engines.recognizerFactory.Make());
    recognizers.push_back(made.back().get());
  }
  engine::RecognitionRequest request;
  request.languages = run.langsQ;
  request.level = run.recognitionLevel;
  request.dpi = kPdfDpi;
  const bool keepBitmaps = pdfImageDirPathQ.has_value();

  engine::PagePipeline::Stages stages;
  stages.prepare = [&](size_t i) {
    PdfPageJob& job = jobs[i];
    std::unique_ptr<engine::PdfPage> page = document.Page(static_cast<int>(job.number));
    if (!page) {
      job.missing = true;
      return false;
    }
    RenderedPdfPage rendered = MakeCgImageQFromPdfPage(document, *page, page->MediaBox(), kPdfDpi);
    if (!rendered.bitmap) {
      job.renderFailure = rendered.failure;
      return false;
    }
    job.width = rendered.bitmap->Width();
    job.height = rendered.bitmap->Height();
    job.bitmap = std::move(rendered.bitmap);
    return true;
  };
  stages.work = [&](size_t i, int worker) {
    PdfPageJob& job = jobs[i];
    const double start = NowSeconds();
    job.outcome = recognizers[worker]->Perform(*job.bitmap, request, &job.performError);
    job.performSeconds = NowSeconds() - start;
    if (!keepBitmaps) job.bitmap.reset();
  };

  const PipelineRun pipelineRun(engines.pagePipeline);
  // One page rendered ahead of the workers, so that none waits for the renderer.
  engines.pagePipeline.Start(jobs.size(), workers, static_cast<size_t>(workers) + 1,
                             std::move(stages));
  for (size_t i = 0; i < jobs.size(); ++i) {
    PdfPageJob& job = jobs[i];
    PrintProgress(job.number, count);
    engines.pagePipeline.Await(i);
    if (job.missing) {
      PrintError("Could not get PDF page " + std::to_string(job.number));
      return false;
    }
    if (job.renderFailure != PdfRenderFailure::none) {
      ReportRenderFailure(job.renderFailure, job.number);
      return false;
    }
    if (pdfImageDirPathQ) {
      SavePdfPageCgImage(engines.pngWriter, *job.bitmap, *pdfImageDirPathQ, baseName, job.number);
      job.bitmap.reset();
    }
    if (!job.outcome) {
      PrintError("Unable to perform text recognition: " + job.performError);
      return false;
    }
    const double start = NowSeconds();
    PageResult page = CompletePage(*job.outcome, BitmapSize(job.width, job.height), kPdfDpi);
    page.duration = job.performSeconds + (NowSeconds() - start);
    job.outcome.reset();
    doc.pages.push_back(std::move(page));
  }
  return true;
}

}  // namespace

int PageWorkers(int usableCores, int64_t pages, int64_t pageBytes) {
  const int64_t perWorker = 2 * std::max<int64_t>(0, pageBytes) + kEngineMemory;
  const int64_t workers =
      std::min<int64_t>({usableCores, pages, kMaxPageWorkers, kPageWorkersMemory / perWorker});
  return static_cast<int>(std::max<int64_t>(1, workers));
}

std::optional<PageResult> RunPage(engine::Recognizer& recognizer, const engine::Bitmap& image,
                                  const std::optional<std::vector<std::string>>& langsQ,
                                  engine::RecognitionLevel recognitionLevel,
                                  std::optional<int> pdfDpiQ) {
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
  PageResult page = CompletePage(*outcome, image, pdfDpiQ);
  page.duration = NowSeconds() - start;
  return page;
}

RenderedPdfPage MakeCgImageQFromPdfPage(engine::PdfDocument& document, const engine::PdfPage& page,
                                        const engine::PdfBox& mediaBox, int dpi) {
  const auto [width, height] = BitmapSidesAt(mediaBox, dpi);
  if (!(width >= 1 && height >= 1) ||
      width * height * 4 > static_cast<double>(kMaxPdfBitmapBytes)) {
    return {nullptr, PdfRenderFailure::noContext};
  }
  int widthPx = static_cast<int>(width);
  int heightPx = static_cast<int>(height);
  // An upright page: a quarter turn swaps the bitmap's sides.
  if (page.Rotation() == 90 || page.Rotation() == 270) std::swap(widthPx, heightPx);

  engine::RenderOutcome rendered = document.Render(page, dpi, widthPx, heightPx);
  switch (rendered.status) {
    case engine::RenderStatus::ok:
      return {std::move(rendered.bitmap), PdfRenderFailure::none};
    case engine::RenderStatus::noContext:
      return {nullptr, PdfRenderFailure::noContext};
    case engine::RenderStatus::noImage:
      break;
  }
  return {nullptr, PdfRenderFailure::noImage};
}

void SavePdfPageCgImage(engine::PngWriter& writer, const engine::Bitmap& image,
                        const std::string& directory, const std::string& baseName,
                        int64_t pageNumber) {
  const std::string path = directory + "/" + baseName + "-p" + std::to_string(pageNumber) + ".png";
  if (!writer.Write(image, path)) {
    PrintError("Could not save CGImage for PDF page " + std::to_string(pageNumber));
  }
}

bool Run(Engines& engines, const RunRequest& request) {
  const std::string& inputPath = request.inputPath;
  const std::optional<std::string>& pdfImageDirPathQ = request.pdfImageDirPathQ;
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
    std::optional<PageResult> page = RunPage(engines.recognizer, *decoded.bitmap, request.langsQ,
                                             request.recognitionLevel, std::nullopt);
    if (!page) return false;
    doc.pages.push_back(std::move(*page));
  } else {
    std::unique_ptr<engine::PdfDocument> document = engines.pdfOpener.Open(inputPath);
    if (!document) {
      PrintError("Bad input PDF");
      return false;
    }
    if (!RunPdfPages(engines, *document, request, baseName, doc)) return false;
  }
  doc.duration = NowSeconds() - start;
  return WriteJsonStringToPath(MakeJsonStringFromDocResult(doc, request.breakdownMode),
                               request.outputPath);
}

}  // namespace ocr
