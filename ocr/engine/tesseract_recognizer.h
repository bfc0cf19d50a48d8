#pragma once

#include <memory>
#include <string>

#include "engine/recognizer.h"

namespace tesseract {
class TessBaseAPI;
}

namespace ocr::engine {

// How one recognition level drives Tesseract. Chosen by measurement (see the README).
struct TesseractLevelConfig {
  // Images of unknown resolution no wider than this are scaled up before recognition:
  // screenshots whose text is 11-16 px high are read far better at 2-3 times that size.
  int smallImageMaxWidth = 0;
  double smallImageScale = 1.0;
  // Whether Tesseract retries lines it read poorly as inverted (light on dark) text.
  bool retryInverted = true;
};

TesseractLevelConfig ConfigFor(RecognitionLevel level);

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

// The folder Tesseract reads traineddata from: $TESSDATA_PREFIX when set (as Tesseract
// itself honours it), otherwise the system's.
std::string DefaultTessdataDir();

}  // namespace ocr::engine
