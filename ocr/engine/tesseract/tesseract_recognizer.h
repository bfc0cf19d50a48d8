#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/interfaces/recognizer.h"

struct Pix;

namespace tesseract {
class TessBaseAPI;
}

namespace ocr::engine {

// How one recognition level drives Tesseract. Chosen by measurement (see the README).
struct TesseractLevelConfig {
  // Images of unknown resolution (screenshots) no wider than kScreenshotMaxWidth are scaled
  // by this before recognition: text 11-16 px high is read better at twice that size.
  double screenshotScale = 1.0;
  // Pages of known resolution above this are scaled down to it before recognition; 0 keeps
  // them as they are. Layout analysis and binarisation cost grows with the pixel count.
  int documentDpi = 0;
  // Screenshots whose typical letter is taller than smallLetterHeight pixels are not
  // enlarged whole: they are read as they are, and the words read with a confidence below
  // unsureConfidence are read again enlarged on their own. 0 disables it.
  int smallLetterHeight = 0;
  float unsureConfidence = 0;
  // Images whose background is mostly dark (dark themes, coloured banners with light text)
  // are inverted once before recognition, so that Tesseract's per-line retry of poorly read
  // lines as inverted text, which recognises such a line twice, rarely has to run.
  bool invertDarkImages = false;
};

inline constexpr int kScreenshotMaxWidth = 2000;
// A tall full-page screenshot is not enlarged past this many pixels, which bounds the
// recogniser's working memory whatever the image's height.
inline constexpr double kMaxUpscaledPixels = 40e6;
// Tesseract refuses an image with a side longer than this (its coordinates are 16-bit).
inline constexpr int kMaxRecognitionSide = 32767;

TesseractLevelConfig ConfigFor(RecognitionLevel level);

// Whether most of an 8 bpp grey image is darker than mid-grey, judged from a sample of its
// pixels: such an image holds light text on a dark background.
bool MostlyDark(Pix* grey);

// The factor an image is scaled by before recognition: width in pixels, resolution when
// known (a rendered page, or an image file declaring a plausible one). No side comes out
// longer than kMaxRecognitionSide: enlarging stops short of it, and a longer side is shrunk.
double RecognitionScale(const TesseractLevelConfig& config, int width, int height,
                        std::optional<int> knownDpi);

// Recognises with Tesseract 5's LSTM engine. The engine is initialised once per process and
// language list and reused for every page; its diagnostics never reach stdout or stderr.
class TesseractRecognizer final : public Recognizer {
 public:
  // tessdataDir: the folder holding <lang>.traineddata; empty means Tesseract's default.
  explicit TesseractRecognizer(std::string tessdataDir = "");
  ~TesseractRecognizer() override;

  std::optional<RequestOutcome> Perform(const Bitmap& image, const RecognitionRequest& request,
                                        std::string* error) override;
  std::optional<std::vector<std::string>> SupportedLanguages(std::string* error) override;

 private:
  bool EnsureEngine(const std::string& languages, std::string* error);

  std::string tessdataDir_;
  std::string loadedLanguages_;
  std::unique_ptr<tesseract::TessBaseAPI> api_;
};

// Makes TesseractRecognizers reading the same folder: one Tesseract engine per worker,
// loaded on the worker's first page.
class TesseractRecognizerFactory final : public RecognizerFactory {
 public:
  explicit TesseractRecognizerFactory(std::string tessdataDir = "")
      : tessdataDir_(std::move(tessdataDir)) {}
  std::unique_ptr<Recognizer> Make() override {
    return std::make_unique<TesseractRecognizer>(tessdataDir_);
  }

 private:
  std::string tessdataDir_;
};

// The folder Tesseract reads traineddata from: $TESSDATA_PREFIX when set (as Tesseract
// itself honours it), otherwise the system's.
std::string DefaultTessdataDir();

}  // namespace ocr::engine
