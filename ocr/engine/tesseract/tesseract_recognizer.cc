#include "engine/tesseract/tesseract_recognizer.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>

#include "engine/cleanup/page_preparation.h"
#include "engine/interfaces/recognized_line.h"
#include "engine/leptonica/leptonica_image_decoder.h"
#include "engine/leptonica/pix_bitmap.h"
#include "engine/tesseract/reread_choice.h"
#include "engine/tesseract/tesseract_languages.h"

namespace ocr::engine {
namespace {

// Tesseract hands out its texts as new[]-allocated strings for the caller to delete[].
using TextPtr = std::unique_ptr<char[]>;

bool TraineddataInstalled(const std::string& dir, const std::string& language) {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(dir) / (language + ".traineddata"),
                                          error);
}

// Maps the request's languages to Tesseract's "a+b" form; an empty result with *error set
// when one of them is unknown or not installed.
std::string TesseractLanguages(const std::optional<std::vector<std::string>>& languages,
                               const std::string& tessdataDir, std::string* error) {
  const std::vector<std::string> requested =
      languages ? *languages : std::vector<std::string>{"en-US"};
  std::vector<std::string> names;
  for (const std::string& code : requested) {
    const std::optional<std::string> name = TesseractLanguageFor(code);
    if (!name) {
      *error = "unsupported recognition language \"" + code + "\"";
      return "";
    }
    if (!TraineddataInstalled(tessdataDir, *name)) {
      *error = "recognition language \"" + code + "\" is not installed (no " + *name +
               ".traineddata in " + tessdataDir + ")";
      return "";
    }
    if (std::find(names.begin(), names.end(), *name) == names.end()) names.push_back(*name);
  }
  if (names.empty()) {
    *error = "no recognition language given";
    return "";
  }
  std::string joined;
  for (const std::string& name : names) {
    if (!joined.empty()) joined += '+';
    joined += name;
  }
  return joined;
}

PixelBox BoxAt(const tesseract::ResultIterator& it, tesseract::PageIteratorLevel level) {
  PixelBox box;
  if (!it.BoundingBox(level, &box.left, &box.top, &box.right, &box.bottom)) return {};
  return box;
}

// One recognised word in the pixels of the image it is reported on.
struct ReadWord {
  std::string text;
  PixelBox box;
  std::vector<RecognizedLine::Symbol> symbols;
  float confidence = 0;
};
using ReadLine = std::vector<ReadWord>;

// The recognised page line by line, each line's words in reading order; lines without a word
// are left out. Coordinates are those of the image recognised, moved by (dx, dy) and divided
// by shrink, so that words read from an enlarged crop land where they lie on the page.
std::vector<ReadLine> ReadLines(tesseract::TessBaseAPI& api, int dx = 0, int dy = 0,
                                int shrink = 1) {
  std::vector<ReadLine> lines;
  std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
  if (!it) return lines;
  using tesseract::RIL_SYMBOL;
  using tesseract::RIL_TEXTLINE;
  using tesseract::RIL_WORD;
  const auto place = [&](PixelBox box) {
    return PixelBox{box.left / shrink + dx, box.top / shrink + dy,
                    (box.right + shrink - 1) / shrink + dx,
                    (box.bottom + shrink - 1) / shrink + dy};
  };
  it->Begin();
  bool more = true;
  while (more) {
    ReadLine line;
    bool lineDone = false;
    while (!lineDone) {
      if (!it->Empty(RIL_WORD)) {
        TextPtr wordText(it->GetUTF8Text(RIL_WORD));
        ReadWord word;
        word.box = place(BoxAt(*it, RIL_WORD));
        word.confidence = it->Confidence(RIL_WORD);
        // Walk the word's characters; the iterator then stands on its last character.
        while (true) {
          TextPtr symbolText(it->GetUTF8Text(RIL_SYMBOL));
          word.symbols.push_back(
              {symbolText ? symbolText.get() : "", place(BoxAt(*it, RIL_SYMBOL))});
          if (it->IsAtFinalElement(RIL_WORD, RIL_SYMBOL)) break;
          if (!it->Next(RIL_SYMBOL)) break;
        }
        if (wordText) {
          word.text = wordText.get();
          line.push_back(std::move(word));
        }
      }
      lineDone = it->IsAtFinalElement(RIL_TEXTLINE, RIL_WORD);
      if (!it->Next(RIL_WORD)) {
        more = false;
        lineDone = true;
      }
    }
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

// The lines in the order a reader takes them: Tesseract reads a ruled table's cells column
// by column, as blocks of text.
std::vector<ReadLine> InReadingOrder(std::vector<ReadLine> lines,
                                     const std::vector<TableRow>& rows) {
  if (rows.empty()) return lines;
  std::vector<PixelBox> boxes;
  boxes.reserve(lines.size());
  for (const ReadLine& line : lines) {
    PixelBox box = line.front().box;
    for (const ReadWord& word : line) {
      box = {std::min(box.left, word.box.left), std::min(box.top, word.box.top),
             std::max(box.right, word.box.right), std::max(box.bottom, word.box.bottom)};
    }
    boxes.push_back(box);
  }
  std::vector<ReadLine> ordered;
  ordered.reserve(lines.size());
  for (const size_t i : ReadingOrder(boxes, rows)) ordered.push_back(std::move(lines[i]));
  return ordered;
}

// Every line with at least one word becomes one observation with a single candidate, its
// boxes normalised to width x height.
std::vector<TextObservation> Observations(std::vector<ReadLine> lines, int width, int height) {
  std::vector<TextObservation> observations;
  for (ReadLine& words : lines) {
    auto line = std::make_shared<RecognizedLine>(width, height);
    for (ReadWord& word : words) line->AddWord(word.text, word.box, std::move(word.symbols));
    if (!line->Empty()) observations.push_back({{std::move(line)}});
  }
  return observations;
}

// Reads again, at twice the size, the words Tesseract was unsure of (WorthRereading), each
// from a crop of image around it, and keeps the second reading when it is one word that
// TakeSecondReading takes. Small punctuation is what a screen's resolution loses
// (";" read as ":", "." as ","), and it is read unsurely: enlarging those few words gives
// what enlarging the whole image gives, at a fraction of the cost.
void RereadUnsureWords(tesseract::TessBaseAPI& api, Pix* image, int resolution, float unsure,
                       std::vector<ReadLine>& lines) {
  const int width = pixGetWidth(image);
  const int height = pixGetHeight(image);
  std::vector<int> heights;
  for (const ReadLine& line : lines) {
    for (const ReadWord& word : line) heights.push_back(word.box.bottom - word.box.top);
  }
  int medianHeight = 0;
  if (!heights.empty()) {
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    medianHeight = heights[heights.size() / 2];
  }
  api.SetPageSegMode(tesseract::PSM_SINGLE_WORD);
  for (ReadLine& line : lines) {
    for (ReadWord& word : line) {
      if (!WorthRereading(word.text, word.confidence, unsure, word.box.bottom - word.box.top,
                          medianHeight)) {
        continue;
      }
      // Room around the word for its strokes, not for its neighbours.
      const int wordHeight = word.box.bottom - word.box.top;
      const int margin = std::max(2, wordHeight / 4);
      const int x0 = std::max(0, word.box.left - margin);
      const int y0 = std::max(0, word.box.top - margin);
      const int x1 = std::min(width, word.box.right + margin);
      const int y1 = std::min(height, word.box.bottom + margin);
      if (x1 <= x0 || y1 <= y0) continue;
      Box* box = boxCreate(x0, y0, x1 - x0, y1 - y0);
      PixPtr crop(pixClipRectangle(image, box, nullptr));
      boxDestroy(&box);
      if (!crop) continue;
      PixPtr enlarged(pixScale(crop.get(), 2.0f, 2.0f));
      if (!enlarged) continue;
      api.SetImage(enlarged.get());
      api.SetSourceResolution(2 * resolution);
      if (api.Recognize(nullptr) == 0) {
        std::vector<ReadLine> again = ReadLines(api, x0, y0, 2);
        if (again.size() == 1 && again[0].size() == 1 &&
            TakeSecondReading(word.text, word.confidence, again[0][0].text,
                              again[0][0].confidence)) {
          word = std::move(again[0][0]);
        }
      }
      api.Clear();
    }
  }
  api.SetPageSegMode(tesseract::PSM_AUTO);
}

// Sends every message Tesseract prints, from now on and from any thread, to /dev/null.
void SilenceTesseract() {
  static std::once_flag once;
  std::call_once(once, [] {
    // debug_file is one setting for the whole process, read by every message Tesseract
    // prints, including those of a failing Init ("Error opening data file ..."), so it is
    // set before any engine is loaded.
    tesseract::TessBaseAPI api;
    api.SetVariable("debug_file", "/dev/null");
    // Tesseract opens that file on its first message, without a lock. A read of a config
    // file that cannot exist prints one now, on this thread, so that engines recognising
    // on several threads later never race to open it.
    api.ReadConfigFile("/dev/null/none");
  });
}

}  // namespace

std::string DefaultTessdataDir() {
  if (const char* prefix = std::getenv("TESSDATA_PREFIX"); prefix != nullptr && *prefix != 0) {
    return prefix;
  }
  return "/usr/share/tesseract-ocr/5/tessdata";
}

TesseractRecognizer::TesseractRecognizer(std::string tessdataDir)
    : tessdataDir_(tessdataDir.empty() ? DefaultTessdataDir() : std::move(tessdataDir)) {
  SilenceLeptonica();
  SilenceTesseract();
}

TesseractRecognizer::~TesseractRecognizer() = default;

bool TesseractRecognizer::EnsureEngine(const std::string& languages, std::string* error) {
  if (api_ && loadedLanguages_ == languages) return true;
  api_.reset();  // the old engine goes before the new one is loaded, not after
  api_ = std::make_unique<tesseract::TessBaseAPI>();
  loadedLanguages_.clear();
  if (api_->Init(tessdataDir_.c_str(), languages.c_str(), tesseract::OEM_LSTM_ONLY) != 0) {
    api_.reset();
    *error = "could not load recognition languages " + languages + " from " + tessdataDir_;
    return false;
  }
  api_->SetPageSegMode(tesseract::PSM_AUTO);
  // Tables whose rules were erased are read cell by cell as columns of text; Tesseract's
  // table finder instead joins cells of a row that lie at different heights (a cell that
  // wraps beside one that does not) into garbled lines.
  api_->SetVariable("textord_tabfind_find_tables", "0");
  loadedLanguages_ = languages;
  return true;
}

std::optional<RequestOutcome> TesseractRecognizer::Perform(const Bitmap& image,
                                                           const RecognitionRequest& request,
                                                           std::string* error) {
  const auto* pixBitmap = dynamic_cast<const PixBitmap*>(&image);
  if (pixBitmap == nullptr) {
    *error = "the image is not a bitmap this recogniser can read";
    return std::nullopt;
  }
  const std::string languages = TesseractLanguages(request.languages, tessdataDir_, error);
  if (languages.empty() || !EnsureEngine(languages, error)) return std::nullopt;

  const PreparedPage page = PreparePage(pixBitmap->pix(), ConfigFor(request.level), request.dpi);
  Pix* input = page.image;
  const int resolution = page.resolution;

  api_->SetImage(input);
  api_->SetSourceResolution(resolution);
  RequestOutcome outcome;
  if (api_->Recognize(nullptr) != 0) {
    outcome.error = "the recognition engine failed on this image";
    api_->Clear();
    return outcome;
  }
  std::vector<ReadLine> lines = ReadLines(*api_);
  api_->Clear();
  if (page.plan.rereadUnsure) {
    RereadUnsureWords(*api_, input, resolution, page.plan.unsureConfidence, lines);
  }
  lines = InReadingOrder(std::move(lines), page.tableRows);
  // Boxes are normalised to the image Tesseract saw, so scaling stays invisible upstream.
  outcome.results = Observations(std::move(lines), pixGetWidth(input), pixGetHeight(input));
  return outcome;
}

std::optional<std::vector<std::string>> TesseractRecognizer::SupportedLanguages(
    std::string* error) {
  std::error_code failure;
  if (!std::filesystem::is_directory(tessdataDir_, failure)) {
    *error = "no recognition data folder at " + tessdataDir_;
    return std::nullopt;
  }
  std::vector<std::string> codes;
  for (const auto& [code, traineddata] : kTesseractLanguages) {
    if (TraineddataInstalled(tessdataDir_, std::string(traineddata))) codes.emplace_back(code);
  }
  return codes;
}

}  // namespace ocr::engine
