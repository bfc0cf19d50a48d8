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

#include "engine/cleanup/page_ink.h"
#include "engine/cleanup/ruled_page.h"
#include "engine/interfaces/recognized_line.h"
#include "engine/leptonica/leptonica_image_decoder.h"
#include "engine/leptonica/pix_bitmap.h"
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

// Reads again, at twice the size, every word Tesseract was unsure of (confidence below
// `unsure`), from a crop of image around it, and keeps the second reading when it is one
// word read with more confidence. Small punctuation is what a screen's resolution loses
// (";" read as ":", "." as ","), and it is read unsurely: enlarging those few words gives
// what enlarging the whole image gives, at a fraction of the cost.
void RereadUnsureWords(tesseract::TessBaseAPI& api, Pix* image, int resolution, float unsure,
                       std::vector<ReadLine>& lines) {
  const int width = pixGetWidth(image);
  const int height = pixGetHeight(image);
  api.SetPageSegMode(tesseract::PSM_SINGLE_WORD);
  for (ReadLine& line : lines) {
    for (ReadWord& word : line) {
      if (word.confidence >= unsure) continue;
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
        if (again.size() == 1 && again[0].size() == 1 && again[0][0].confidence > word.confidence) {
          word = std::move(again[0][0]);
        }
      }
      api.Clear();
    }
  }
  api.SetPageSegMode(tesseract::PSM_AUTO);
}

// Measured on screenshots of 11-16 px text (README): a typical letter (x-height) of 6 px or
// less is text of 11-12 px, read right only when the whole image is enlarged; above that,
// re-reading the words read with less than 90 % confidence gives the same text at 1.1x the
// time of one reading, where enlarging the whole image takes 2.2x.
constexpr int kSmallLetterHeight = 6;
constexpr float kUnsureConfidence = 90;

// Measured: 120 DPI halves a Letter page's time without losing 8 pt text; 100 DPI saves a
// further fifth but 8 pt text then comes out with 1.9 % character errors (README).
constexpr int kFastDocumentDpi = 120;

// The image as 8 bpp grey without a colour map, or nothing when it cannot be converted.
PixPtr GreyOf(Pix* pix) {
  if (pixGetDepth(pix) == 32) return PixPtr(pixConvertRGBToLuminance(pix));
  return PixPtr(pixConvertTo8(pix, 0));
}

// The image Tesseract should see when light text on a dark background is to be turned
// dark-on-light first: the inverted image, or nothing when it is not mostly dark.
PixPtr InvertedIfDark(Pix* pix) {
  PixPtr grey = GreyOf(pix);
  if (!grey || !MostlyDark(grey.get())) return nullptr;
  // Colour images keep their colours (Tesseract thresholds each channel); anything else is
  // the grey copy just made, inverted where it lies.
  if (pixGetDepth(pix) == 32) return PixPtr(pixInvert(nullptr, pix));
  pixInvert(grey.get(), grey.get());
  return grey;
}

double LevelScale(const TesseractLevelConfig& config, int width, int height,
                  std::optional<int> knownDpi) {
  if (!knownDpi) {
    const double scale = config.screenshotScale;
    const double pixels = static_cast<double>(width) * height * scale * scale;
    return width <= kScreenshotMaxWidth && pixels <= kMaxUpscaledPixels ? scale : 1.0;
  }
  if (config.documentDpi > 0 && *knownDpi > config.documentDpi) {
    return static_cast<double>(config.documentDpi) / *knownDpi;
  }
  return 1.0;
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

// source scaled by scale for recognition, or nothing when Leptonica cannot.
PixPtr Scaled(Pix* source, double scale) {
  const auto factor = static_cast<float>(scale);
  if (scale < 1.0 && pixGetDepth(source) == 32) {
    // Shrinking a colour page: grey first, so the area map reads a quarter of the bytes.
    PixPtr grey(pixConvertRGBToGrayFast(source));
    return grey ? PixPtr(pixScaleAreaMap(grey.get(), factor, factor)) : nullptr;
  }
  if (pixGetDepth(source) == 1) return PixPtr(pixScaleBinary(source, factor, factor));
  return PixPtr(pixScale(source, factor, factor));
}

}  // namespace

TesseractLevelConfig ConfigFor(RecognitionLevel level) {
  TesseractLevelConfig config;
  if (level == RecognitionLevel::accurate) {
    config.screenshotScale = 2.0;
    config.documentDpi = 0;
    config.smallLetterHeight = kSmallLetterHeight;
    config.unsureConfidence = kUnsureConfidence;
  } else {
    config.screenshotScale = 1.0;
    config.documentDpi = kFastDocumentDpi;
    config.invertDarkImages = true;
  }
  return config;
}

bool MostlyDark(Pix* grey) {
  if (grey == nullptr || pixGetDepth(grey) != 8 || pixGetColormap(grey) != nullptr) return false;
  const std::optional<int> median = MedianGrey(grey);
  return median && *median < 128;
}

double RecognitionScale(const TesseractLevelConfig& config, int width, int height,
                        std::optional<int> knownDpi) {
  const double scale = LevelScale(config, width, height, knownDpi);
  // Leptonica rounds a scaled side to the nearest pixel: one pixel of margin keeps the
  // rounded side within the limit.
  const double longest = std::max(width, height);
  const double limit = (kMaxRecognitionSide - 1) / longest;
  return std::min(scale, limit);
}

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

  const TesseractLevelConfig config = ConfigFor(request.level);
  Pix* source = pixBitmap->pix();
  std::optional<int> knownDpi = request.dpi;
  if (!knownDpi) {
    // An image file: trust a plausible resolution it declares (scans, page images).
    const int declared = pixGetXRes(source);
    if (declared >= 150 && declared <= 2400) knownDpi = declared;
  }
  // Screenshots carry no useful resolution; 96 is what their text was laid out for.
  int resolution = knownDpi.value_or(96);
  double scale = RecognitionScale(config, pixGetWidth(source), pixGetHeight(source), knownDpi);

  // Ruling lines and filled boxes are cleared at the smaller of the two resolutions:
  // before an enlargement, after a reduction.
  Pix* input = source;
  PixPtr cleared;
  bool rereadUnsure = false;
  const bool clearBeforeScaling = scale > 1.0;
  if (clearBeforeScaling) {
    const PageInk ink = FindPageInk(source, resolution);
    // Only small text needs the whole image enlarged; larger text is read as it is, and
    // the words read unsurely are enlarged on their own.
    if (config.unsureConfidence > 0 && TypicalLetterHeight(ink) > config.smallLetterHeight) {
      scale = 1.0;
      rereadUnsure = true;
    }
    cleared = ClearRulesAndBoxes(input, ink);
    if (cleared) input = cleared.get();
  }
  PixPtr scaled;
  if (scale != 1.0) {
    scaled = Scaled(input, scale);
    if (scaled) {
      input = scaled.get();
      resolution = std::max(1, static_cast<int>(std::lround(resolution * scale)));
    }
  } else if (rereadUnsure && pixGetDepth(input) == 32) {
    // Read as it is: grey is all Tesseract thresholds, at a third of the work of colour.
    scaled.reset(pixConvertRGBToLuminance(input));
    if (scaled) input = scaled.get();
  }
  if (!clearBeforeScaling) {
    cleared = ClearRulesAndBoxes(input, resolution);
    if (cleared) input = cleared.get();
  }

  PixPtr inverted;
  if (config.invertDarkImages) {
    inverted = InvertedIfDark(input);
    if (inverted) input = inverted.get();
  }

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
  if (rereadUnsure) RereadUnsureWords(*api_, input, resolution, config.unsureConfidence, lines);
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
