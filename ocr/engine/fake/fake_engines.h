#pragma once

// In-memory engines for tests: scripted recognition results, images and PDF documents.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/bitmap.h"
#include "engine/image_decoder.h"
#include "engine/pdf_renderer.h"
#include "engine/png_writer.h"
#include "engine/recognizer.h"

namespace ocr::engine::fake {

class FakeBitmap final : public Bitmap {
 public:
  FakeBitmap(int width, int height) : width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  int width_;
  int height_;
};

// A candidate whose boxes are scripted by byte range; unscripted ranges have no box
// unless a default box is set.
class ScriptedText final : public RecognizedText {
 public:
  explicit ScriptedText(std::string text) : text_(std::move(text)) {}

  ScriptedText& WithBox(size_t begin, size_t end, NormalizedRect box) {
    boxes_[{begin, end}] = box;
    return *this;
  }
  ScriptedText& WithDefaultBox(NormalizedRect box) {
    defaultBox_ = box;
    return *this;
  }
  ScriptedText& WithoutBox(size_t begin, size_t end) {
    missing_.insert({begin, end});
    return *this;
  }

  const std::string& String() const override { return text_; }
  std::optional<NormalizedRect> BoundingBox(size_t begin, size_t end) const override {
    asked_.push_back({begin, end});
    if (missing_.count({begin, end}) != 0) return std::nullopt;
    auto found = boxes_.find({begin, end});
    if (found != boxes_.end()) return found->second;
    return defaultBox_;
  }
  const std::vector<std::pair<size_t, size_t>>& asked() const { return asked_; }

 private:
  std::string text_;
  std::map<std::pair<size_t, size_t>, NormalizedRect> boxes_;
  std::set<std::pair<size_t, size_t>> missing_;
  std::optional<NormalizedRect> defaultBox_;
  mutable std::vector<std::pair<size_t, size_t>> asked_;
};

// Serves one scripted outcome per call, in order; records every request.
class FakeRecognizer final : public Recognizer {
 public:
  struct Call {
    int width;
    int height;
    RecognitionRequest request;
  };
  // Either an outcome or, when absent, a failure to perform with performError.
  std::vector<std::optional<RequestOutcome>> outcomes;
  std::string performError = "scripted failure";
  std::optional<std::vector<std::string>> languages;
  std::vector<Call> calls;

  std::optional<RequestOutcome> Perform(const Bitmap& image, const RecognitionRequest& request,
                                        std::string* error) override {
    calls.push_back({image.Width(), image.Height(), request});
    const size_t index = calls.size() - 1;
    if (index >= outcomes.size()) return RequestOutcome{std::vector<TextObservation>{}, {}};
    if (!outcomes[index]) *error = performError;
    return outcomes[index];
  }
  std::optional<std::vector<std::string>> SupportedLanguages(std::string* error) override {
    if (!languages) *error = "scripted query failure";
    return languages;
  }
};

class FakeImageDecoder final : public ImageDecoder {
 public:
  DecodeStatus status = DecodeStatus::ok;
  int width = 640;
  int height = 480;
  std::vector<std::string> paths;

  DecodeOutcome Decode(const std::string& path) override {
    paths.push_back(path);
    DecodeOutcome outcome;
    outcome.status = status;
    if (status == DecodeStatus::ok) outcome.bitmap = std::make_unique<FakeBitmap>(width, height);
    return outcome;
  }
};

struct ScriptedPdfPage {
  PdfBox mediaBox{0, 0, 612, 792};
  int rotation = 0;
  bool missing = false;  // Page() yields nothing
  RenderStatus renderStatus = RenderStatus::ok;
};

class FakePdfPage final : public PdfPage {
 public:
  FakePdfPage(ScriptedPdfPage script, int number) : script_(script), number_(number) {}
  PdfBox MediaBox() const override { return script_.mediaBox; }
  int Rotation() const override { return script_.rotation; }
  const ScriptedPdfPage& script() const { return script_; }
  int number() const { return number_; }

 private:
  ScriptedPdfPage script_;
  int number_;
};

struct RenderCall {
  int pageNumber;
  double dpi;
  int widthPx;
  int heightPx;
};

class FakePdfDocument final : public PdfDocument {
 public:
  FakePdfDocument(std::vector<ScriptedPdfPage> pages, std::vector<RenderCall>* renders)
      : pages_(std::move(pages)), renders_(renders) {}
  int PageCount() const override { return static_cast<int>(pages_.size()); }
  std::unique_ptr<PdfPage> Page(int pageNumber) override {
    if (pageNumber < 1 || pageNumber > PageCount() || pages_[pageNumber - 1].missing) {
      return nullptr;
    }
    return std::make_unique<FakePdfPage>(pages_[pageNumber - 1], pageNumber);
  }
  RenderOutcome Render(const PdfPage& page, double dpi, int widthPx, int heightPx) override {
    const auto& fakePage = dynamic_cast<const FakePdfPage&>(page);
    renders_->push_back({fakePage.number(), dpi, widthPx, heightPx});
    RenderOutcome outcome;
    outcome.status = fakePage.script().renderStatus;
    if (outcome.status == RenderStatus::ok) {
      outcome.bitmap = std::make_unique<FakeBitmap>(widthPx, heightPx);
    }
    return outcome;
  }

 private:
  std::vector<ScriptedPdfPage> pages_;
  std::vector<RenderCall>* renders_;
};

class FakePdfOpener final : public PdfOpener {
 public:
  std::optional<std::vector<ScriptedPdfPage>> pages;  // absent: not a PDF
  std::vector<RenderCall> renders;

  std::unique_ptr<PdfDocument> Open(const std::string&) override {
    if (!pages) return nullptr;
    return std::make_unique<FakePdfDocument>(*pages, &renders);
  }
};

class FakePngWriter final : public PngWriter {
 public:
  bool succeed = true;
  std::vector<std::string> paths;
  bool Write(const Bitmap&, const std::string& path) override {
    paths.push_back(path);
    return succeed;
  }
};

}  // namespace ocr::engine::fake
