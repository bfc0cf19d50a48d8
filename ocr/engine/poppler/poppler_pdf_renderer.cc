#include "engine/poppler/poppler_pdf_renderer.h"

#include <Error.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Page.h>
#include <SplashOutputDev.h>
#include <goo/GooString.h>
#include <leptonica/allheaders.h>
#include <splash/SplashBitmap.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {
namespace {

void IgnorePopplerError(ErrorCategory, Goffset, const char*) {}

class PopplerPage final : public PdfPage {
 public:
  PopplerPage(::Page* page, int number) : page_(page), number_(number) {}

  PdfBox MediaBox() const override {
    const PDFRectangle* box = page_->getMediaBox();
    return {std::min(box->x1, box->x2), std::min(box->y1, box->y2), std::fabs(box->x2 - box->x1),
            std::fabs(box->y2 - box->y1)};
  }

  int Rotation() const override {
    int rotate = page_->getRotate() % 360;
    if (rotate < 0) rotate += 360;
    return rotate;
  }

  int number() const { return number_; }

 private:
  ::Page* page_;  // owned by the document's catalog
  int number_;
};

// Copies Splash's XBGR rows into a 32 bpp Pix (0xRRGGBB00 words), recording the dpi the page
// was rendered at: saved page images declare it, and the recogniser can read it.
Pix* CopyToPix(SplashBitmap& bitmap, double dpi) {
  const int width = bitmap.getWidth();
  const int height = bitmap.getHeight();
  Pix* pix = pixCreateNoInit(width, height, 32);
  if (pix == nullptr) return nullptr;
  const int rowSize = bitmap.getRowSize();
  const unsigned char* source = bitmap.getDataPtr();
  l_uint32* target = pixGetData(pix);
  const int wordsPerLine = pixGetWpl(pix);
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = source + static_cast<ptrdiff_t>(y) * rowSize;
    l_uint32* line = target + static_cast<ptrdiff_t>(y) * wordsPerLine;
    for (int x = 0; x < width; ++x) {
      const unsigned char* pixel = row + 4 * x;  // memory order B, G, R, X
      line[x] = (static_cast<l_uint32>(pixel[2]) << 24) | (static_cast<l_uint32>(pixel[1]) << 16) |
                (static_cast<l_uint32>(pixel[0]) << 8);
    }
  }
  const auto resolution = static_cast<l_int32>(std::lround(dpi));
  pixSetResolution(pix, resolution, resolution);
  return pix;
}

class PopplerDocument final : public PdfDocument {
 public:
  explicit PopplerDocument(std::unique_ptr<PDFDoc> doc) : doc_(std::move(doc)) {}

  int PageCount() const override { return doc_->getNumPages(); }

  std::unique_ptr<PdfPage> Page(int pageNumber) override {
    if (pageNumber < 1 || pageNumber > doc_->getNumPages()) return nullptr;
    ::Page* page = doc_->getPage(pageNumber);
    if (page == nullptr) return nullptr;
    return std::make_unique<PopplerPage>(page, pageNumber);
  }

  RenderOutcome Render(const PdfPage& page, double dpi, int widthPx, int heightPx) override {
    RenderOutcome outcome;
    const auto* popplerPage = dynamic_cast<const PopplerPage*>(&page);
    if (popplerPage == nullptr || widthPx <= 0 || heightPx <= 0) return outcome;

    SplashColor white;
    white[0] = 0xff;
    white[1] = 0xff;
    white[2] = 0xff;
    white[3] = 0xff;
    SplashOutputDev output(splashModeXBGR8, 4, false, white);
    output.setFontAntialias(true);
    output.setVectorAntialias(true);
    output.startDoc(doc_.get());
    // The media box, not the crop box, and no cropping; Poppler adds the page's /Rotate to
    // the rotation given here (0) and maps the slice to the upright page, so the bitmap is
    // exactly widthPx x heightPx with the box's lower-left corner wherever it lies.
    doc_->displayPageSlice(&output, popplerPage->number(), dpi, dpi, 0, /*useMediaBox=*/true,
                           /*crop=*/false, /*printing=*/false, 0, 0, widthPx, heightPx);
    SplashBitmap* bitmap = output.getBitmap();
    if (bitmap == nullptr || bitmap->getWidth() != widthPx || bitmap->getHeight() != heightPx) {
      return outcome;
    }
    Pix* pix = CopyToPix(*bitmap, dpi);
    if (pix == nullptr) {
      outcome.status = RenderStatus::noContext;
      return outcome;
    }
    outcome.status = RenderStatus::ok;
    outcome.bitmap = std::make_unique<PixBitmap>(pix);
    return outcome;
  }

 private:
  std::unique_ptr<PDFDoc> doc_;
};

}  // namespace

PopplerPdfOpener::PopplerPdfOpener() {
  static std::once_flag once;
  std::call_once(once, [] {
    globalParams = std::make_unique<GlobalParams>();
    // Syntax warnings about damaged files would otherwise reach standard error.
    setErrorCallback(IgnorePopplerError);
  });
}

std::unique_ptr<PdfDocument> PopplerPdfOpener::Open(const std::string& path) {
  auto doc = std::make_unique<PDFDoc>(std::make_unique<GooString>(path));
  if (!doc->isOk()) return nullptr;
  return std::make_unique<PopplerDocument>(std::move(doc));
}

}  // namespace ocr::engine
