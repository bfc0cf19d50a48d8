#pragma once

// In-memory engines for tests: scripted recognition results, images and PDF documents.

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/interfaces/bitmap.h"
#include "engine/interfaces/image_decoder.h"
#include "engine/interfaces/page_pipeline.h"
#include "engine/interfaces/pdf_renderer.h"
#include "engine/interfaces/png_writer.h"
#include "engine/interfaces/recognizer.h"

namespace ocr::engine::fake {

class FakeBitmap final : public Bitmap {
 public:
  FakeBitmap(int width, int height, int page = 0) : width_(width), height_(height), page_(page) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // The PDF page it was rendered from (0 for a decoded image).
  int page() const { return page_; }

 private:
  int width_;
  int height_;
  int page_;
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

// An outcome of a single recognised line reading `text`, every range of it in one box.
inline RequestOutcome OneLine(const std::string& text) {
  auto line = std::make_shared<ScriptedText>(text);
  line->WithDefaultBox(NormalizedRect{0.1, 0.8, 0.2, 0.05});
  return RequestOutcome{std::vector<TextObservation>{{{line}}}, std::nullopt};
}

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
      outcome.bitmap = std::make_unique<FakeBitmap>(widthPx, heightPx, fakePage.number());
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

// Serves outcomes scripted per PDF page, whichever worker asks; safe to share between threads.
// Every request is recorded with the page and the recogniser that served it.
class PageScript {
 public:
  struct Call {
    int page;
    int recognizer;
    RecognitionRequest request;
  };

  // Page -> outcome, or, when absent, a failure to perform with performError. Pages not
  // scripted get a request without observations.
  std::map<int, std::optional<RequestOutcome>> outcomes;
  std::string performError = "scripted failure";

  std::optional<RequestOutcome> Serve(int recognizer, const Bitmap& image,
                                      const RecognitionRequest& request, std::string* error) {
    const auto* fake = dynamic_cast<const FakeBitmap*>(&image);
    const int page = fake != nullptr ? fake->page() : 0;
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({page, recognizer, request});
    const auto found = outcomes.find(page);
    if (found == outcomes.end()) return RequestOutcome{std::vector<TextObservation>{}, {}};
    if (!found->second) *error = performError;
    return found->second;
  }
  std::vector<Call> calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Call> calls_;
};

class PageScriptedRecognizer final : public Recognizer {
 public:
  PageScriptedRecognizer(PageScript& script, int id) : script_(script), id_(id) {}
  std::optional<RequestOutcome> Perform(const Bitmap& image, const RecognitionRequest& request,
                                        std::string* error) override {
    return script_.Serve(id_, image, request, error);
  }
  std::optional<std::vector<std::string>> SupportedLanguages(std::string* error) override {
    *error = "not scripted";
    return std::nullopt;
  }

 private:
  PageScript& script_;
  int id_;
};

// Makes PageScriptedRecognizers numbered 1, 2, ... (0 is left for the run's own recogniser).
class FakeRecognizerFactory final : public RecognizerFactory {
 public:
  explicit FakeRecognizerFactory(PageScript* script = nullptr) : script_(script) {}
  int made = 0;
  std::unique_ptr<Recognizer> Make() override {
    ++made;
    if (script_ == nullptr) return std::make_unique<FakeRecognizer>();
    return std::make_unique<PageScriptedRecognizer>(*script_, made);
  }

 private:
  PageScript* script_;
};

// Runs the stages on the caller's thread, inside Await, the way the fastest threads could:
// everything the window allows is prepared at once, the workers take the prepared items in
// order, and of the items they run together the later ones finish first. Records what it did.
class FakePagePipeline final : public PagePipeline {
 public:
  int maxWorkers = 1;
  // "prepare i", "work i/k" (item i on worker k), "await i", "finish", in order.
  std::vector<std::string> events;
  size_t startedWorkers = 0;
  size_t startedAhead = 0;
  // The most items prepared beyond the last one awaited.
  size_t mostAhead = 0;

  int MaxWorkers() const override { return maxWorkers; }
  void Start(size_t count, int workers, size_t ahead, Stages stages) override {
    stages_ = std::move(stages);
    count_ = count;
    end_ = count;
    next_ = 0;
    workers_ = workers;
    ahead_ = ahead;
    startedWorkers = static_cast<size_t>(workers);
    startedAhead = ahead;
    pending_.clear();
  }
  void Await(size_t i) override {
    while (next_ < end_ && next_ < i + ahead_) {
      events.push_back("prepare " + std::to_string(next_));
      if (stages_.prepare(next_)) {
        pending_.push_back(next_);
      } else {
        end_ = next_ + 1;
      }
      ++next_;
      mostAhead = std::max(mostAhead, next_ - i);
    }
    // The workers take pending items in order, `workers` at a time; of the items running
    // together, the last taken finishes first.
    const size_t group = static_cast<size_t>(workers_);
    for (size_t first = 0; first < pending_.size(); first += group) {
      const size_t last = std::min(pending_.size(), first + group);
      for (size_t k = last; k-- > first;) {
        const size_t item = pending_[k];
        const int worker = static_cast<int>(k - first);
        events.push_back("work " + std::to_string(item) + "/" + std::to_string(worker));
        stages_.work(item, worker);
      }
    }
    pending_.clear();
    events.push_back("await " + std::to_string(i));
  }
  void Finish() override {
    events.push_back("finish");
    pending_.clear();
  }

 private:
  Stages stages_;
  size_t count_ = 0;
  size_t end_ = 0;
  size_t next_ = 0;
  int workers_ = 1;
  size_t ahead_ = 1;
  std::vector<size_t> pending_;
};

}  // namespace ocr::engine::fake
