#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/interfaces/recognizer.h"

namespace tesseract {
class TessBaseAPI;
}

namespace ocr::engine {

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
