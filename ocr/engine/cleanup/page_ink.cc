#include "engine/cleanup/page_ink.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ocr::engine {
namespace {

// Every 4th pixel of every 4th row is plenty to find the median grey.
constexpr int kMedianSampling = 4;

}  // namespace

int DetectionSubsampling(int dpi) {
  return std::max(1, (dpi + kDetectionDpi / 2) / kDetectionDpi);
}

PixPtr GreyAtDetectionScale(Pix* image, int subsampling) {
  PixPtr small;
  Pix* source = image;
  if (subsampling > 1) {
    small.reset(pixScaleByIntSampling(image, subsampling));
    if (!small) return nullptr;
    source = small.get();
  }
  if (pixGetDepth(source) == 32) return PixPtr(pixConvertRGBToLuminance(source));
  if (pixGetDepth(source) == 8 && pixGetColormap(source) == nullptr) {
    return small ? std::move(small) : PixPtr(pixClone(source));
  }
  return PixPtr(pixConvertTo8(source, 0));
}

std::optional<int> MedianGrey(Pix* grey) {
  const int factor = std::min({kMedianSampling, pixGetWidth(grey), pixGetHeight(grey)});
  l_float32 median = 255;
  if (pixGetRankValueMasked(grey, nullptr, 0, 0, factor, 0.5, &median, nullptr) != 0) {
    return std::nullopt;
  }
  // Leptonica gives the middle of the rank's histogram bin: the level is its lower edge.
  return std::clamp(static_cast<int>(median), 0, 255);
}

bool MostlyDark(Pix* grey) {
  if (grey == nullptr || pixGetDepth(grey) != 8 || pixGetColormap(grey) != nullptr) return false;
  const std::optional<int> median = MedianGrey(grey);
  return median && *median < 128;
}

PageInk FindPageInk(Pix* image, int dpi) {
  PageInk ink;
  ink.subsampling = DetectionSubsampling(dpi);
  ink.pxPerCssPx = dpi / 96.0 / ink.subsampling;
  PixPtr grey = GreyAtDetectionScale(image, ink.subsampling);
  if (!grey) return ink;
  const std::optional<int> median = MedianGrey(grey.get());
  if (!median) return ink;
  ink.backgroundGrey = *median;
  ink.backgroundRgb = static_cast<unsigned>(ink.backgroundGrey) * 0x01010100u;
  if (pixGetDepth(image) == 32) {
    l_float32 red = 0, green = 0, blue = 0;
    const int colourFactor = kMedianSampling * ink.subsampling;
    if (pixGetRankValueMaskedRGB(image, nullptr, 0, 0, colourFactor, 0.5, &red, &green, &blue) ==
        0) {
      const auto level = [](l_float32 v) {
        return static_cast<unsigned>(std::clamp(static_cast<int>(v), 0, 255));
      };
      ink.backgroundRgb = (level(red) << 24) | (level(green) << 16) | (level(blue) << 8);
    }
  }
  ink.darkBackground = ink.backgroundGrey < 128;
  if (ink.darkBackground) {
    // Light ink: at least kInkContrast above the background.
    ink.mask.reset(pixThresholdToBinary(grey.get(), ink.backgroundGrey + kInkContrast + 1));
    if (ink.mask) pixInvert(ink.mask.get(), ink.mask.get());
  } else {
    ink.mask.reset(pixThresholdToBinary(grey.get(), ink.backgroundGrey - kInkContrast));
  }
  return ink;
}

PixPtr AtImageScale(const PageInk& ink, Pix* mask) {
  const int f = ink.subsampling;
  return PixPtr(f > 1 ? pixExpandReplicate(mask, f) : pixClone(mask));
}

int TypicalLetterHeight(const PageInk& ink) {
  if (!ink.mask) return 0;
  const BoxaPtr components(pixConnCompBB(ink.mask.get(), 8));
  if (!components) return 0;
  std::vector<int> heights;
  for (int i = 0; i < boxaGetCount(components.get()); ++i) {
    l_int32 x = 0, y = 0, w = 0, h = 0;
    boxaGetBoxGeometry(components.get(), i, &x, &y, &w, &h);
    // Letters: neither specks nor rules, pictures or words run together.
    if (h >= 3 && h <= 60 && w <= 3 * h) heights.push_back(h);
  }
  if (heights.empty()) return 0;
  std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
  return heights[heights.size() / 2] * ink.subsampling;
}

}  // namespace ocr::engine
