#pragma once

#include <optional>

#include "engine/interfaces/recognizer.h"

namespace ocr::engine {

// How one recognition level treats a page. Chosen by measurement (see the README).
struct LevelConfig {
  // Images of unknown resolution (screenshots) no wider than kScreenshotMaxWidth are scaled
  // by this before recognition: text of 9-12 px is read better enlarged (smallLetterHeight).
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
// What a screenshot's text was laid out for; screenshots carry no useful resolution.
inline constexpr int kScreenResolution = 96;

LevelConfig ConfigFor(RecognitionLevel level);

// The factor an image is scaled by before recognition: width in pixels, resolution when
// known (a rendered page, or an image file declaring a plausible one). No side comes out
// longer than kMaxRecognitionSide: enlarging stops short of it, and a longer side is shrunk.
double RecognitionScale(const LevelConfig& config, int width, int height,
                        std::optional<int> knownDpi);

// What is measured on a page before its plan is made.
struct PageMeasures {
  int width = 0;
  int height = 0;
  // A rendered page's resolution, or a plausible one an image file declares.
  std::optional<int> knownDpi;
  // The page's typical letter height in pixels (0: no letters), where NeedsLetterHeight
  // says the plan depends on it; absent otherwise.
  std::optional<int> letterHeight;
  // Whether most of the page is darker than mid-grey; measured where the level inverts
  // dark pages (LevelConfig::invertDarkImages), false otherwise.
  bool mostlyDark = false;
};

// Where rules, frames and filled boxes are cleared: at the smaller of the page's two sizes,
// before an enlargement and after a reduction, where they cost the least to find.
enum class ClearStep { beforeScaling, afterScaling };

// What is done to a page before and after it is recognised.
struct PagePlan {
  double scale = 1.0;
  // The resolution the page is found at, and the one the recogniser is told once scaled.
  int sourceResolution = kScreenResolution;
  int resolution = kScreenResolution;
  ClearStep clear = ClearStep::afterScaling;
  // A colour page read as it is goes to the recogniser as grey: that is all it thresholds,
  // at a third of the work.
  bool grey = false;
  bool invert = false;
  // Words read with a confidence below unsureConfidence are read again, enlarged alone.
  bool rereadUnsure = false;
  float unsureConfidence = 0;
};

// Whether PlanPage depends on the page's letter height: only an enlargement that larger
// letters make needless does.
bool NeedsLetterHeight(const LevelConfig& config, const PageMeasures& page);

// The plan for a page at a level: a pure function of what was measured.
PagePlan PlanPage(const LevelConfig& config, const PageMeasures& page);

}  // namespace ocr::engine
