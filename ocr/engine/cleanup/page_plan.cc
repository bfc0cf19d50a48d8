#include "engine/cleanup/page_plan.h"

#include <algorithm>
#include <cmath>

namespace ocr::engine {
namespace {

// Measured on screenshots of 11-16 px text (README): a typical letter (x-height) of 6 px or
// less is text of 11-12 px, read right only when the whole image is enlarged; above that,
// re-reading the words read with less than 90 % confidence gives the same text at 1.1x the
// time of one reading, where enlarging the whole image takes 2.2x. Small text enlarged 1.5x
// reads as well as at 2x (9-11 px text: 0.50 % against 0.53 % character errors) with 0.88x
// the instructions.
constexpr int kSmallLetterHeight = 6;
constexpr float kUnsureConfidence = 90;

// Measured: 120 DPI halves a Letter page's time without losing 8 pt text; 100 DPI saves a
// further fifth but 8 pt text then comes out with 1.9 % character errors (README).
constexpr int kFastDocumentDpi = 120;

double LevelScale(const LevelConfig& config, int width, int height, std::optional<int> knownDpi) {
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

}  // namespace

LevelConfig ConfigFor(RecognitionLevel level) {
  LevelConfig config;
  if (level == RecognitionLevel::accurate) {
    config.screenshotScale = 1.5;
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

double RecognitionScale(const LevelConfig& config, int width, int height,
                        std::optional<int> knownDpi) {
  const double scale = LevelScale(config, width, height, knownDpi);
  // Leptonica rounds a scaled side to the nearest pixel: one pixel of margin keeps the
  // rounded side within the limit.
  const double longest = std::max({width, height, 1});
  const double limit = (kMaxRecognitionSide - 1) / longest;
  return std::min(scale, limit);
}

bool NeedsLetterHeight(const LevelConfig& config, const PageMeasures& page) {
  return config.unsureConfidence > 0 &&
         RecognitionScale(config, page.width, page.height, page.knownDpi) > 1.0;
}

PagePlan PlanPage(const LevelConfig& config, const PageMeasures& page) {
  PagePlan plan;
  plan.sourceResolution = page.knownDpi.value_or(kScreenResolution);
  plan.scale = RecognitionScale(config, page.width, page.height, page.knownDpi);
  plan.clear = plan.scale > 1.0 ? ClearStep::beforeScaling : ClearStep::afterScaling;
  // Only small text needs the whole image enlarged; larger text is read as it is, and the
  // words read unsurely are enlarged on their own.
  if (NeedsLetterHeight(config, page) && page.letterHeight &&
      *page.letterHeight > config.smallLetterHeight) {
    plan.scale = 1.0;
    plan.rereadUnsure = true;
    plan.unsureConfidence = config.unsureConfidence;
    plan.grey = true;
  }
  plan.resolution = std::max(1, static_cast<int>(std::lround(plan.sourceResolution * plan.scale)));
  plan.invert = config.invertDarkImages && page.mostlyDark;
  return plan;
}

}  // namespace ocr::engine
