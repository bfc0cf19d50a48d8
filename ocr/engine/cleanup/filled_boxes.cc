#include "engine/cleanup/filled_boxes.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace ocr::engine {
namespace {

int Count(Pix* pix) {
  l_int32 count = 0;
  pixCountPixels(pix, &count, nullptr);
  return count;
}

void SetRect(Pix* mask, int x, int y, int w, int h) {
  pixRasterop(mask, x, y, w, h, PIX_SET, nullptr, 0, 0);
}

}  // namespace

std::vector<FilledBox> FindFilledBoxes(const PageInk& ink, const BoxLimits& limits) {
  std::vector<FilledBox> found;
  Pix* mask = ink.mask.get();
  if (mask == nullptr) return found;
  const int minWidth = static_cast<int>(std::lround(limits.minWidth * ink.pxPerCssPx));
  const int minHeight = static_cast<int>(std::lround(limits.minHeight * ink.pxPerCssPx));
  const double imageArea = static_cast<double>(pixGetWidth(mask)) * pixGetHeight(mask);
  // Only solid ink holds a square as wide as the thickest stroke of text: opening with it
  // leaves the insides of boxes and drops the text, so few components remain to look at.
  const int solid = std::max(2, static_cast<int>(std::lround(limits.solidSquare * ink.pxPerCssPx)));
  PixPtr solidInk(pixOpenBrick(nullptr, mask, solid, solid));
  if (!solidInk) return found;
  BoxaPtr candidates(pixConnCompBB(solidInk.get(), 8));
  if (!candidates) return found;
  PixPtr taken(pixCreateTemplate(mask));  // boxes already found, by their rectangles
  for (int i = 0; i < boxaGetCount(candidates.get()); ++i) {
    l_int32 cx = 0, cy = 0, cw = 0, ch = 0;
    boxaGetBoxGeometry(candidates.get(), i, &cx, &cy, &cw, &ch);
    l_uint32 already = 0;
    pixGetPixel(taken.get(), cx, cy, &already);
    if (already) continue;
    // The ink component holding this solid part: seeded from it, grown through the mask.
    PixPtr seed(pixCreateTemplate(mask));
    pixRasterop(seed.get(), cx, cy, cw, ch, PIX_SRC, solidInk.get(), cx, cy);
    PixPtr grown(pixSeedfillBinary(nullptr, seed.get(), mask, 8));
    if (!grown) continue;
    BoxaPtr grownBoxes(pixConnCompBB(grown.get(), 8));
    if (!grownBoxes || boxaGetCount(grownBoxes.get()) == 0) continue;
    l_int32 x = 0, y = 0, w = 0, h = 0;
    boxaGetBoxGeometry(grownBoxes.get(), 0, &x, &y, &w, &h);
    SetRect(taken.get(), x, y, w, h);
    if (w < minWidth || h < minHeight || w < h) continue;
    if (static_cast<double>(w) * h > limits.maxImageShare * imageArea) continue;
    Box* box = boxCreate(x, y, w, h);
    PixPtr component(pixClipRectangle(grown.get(), box, nullptr));
    boxDestroy(&box);
    if (!component) continue;
    const int inkPixels = Count(component.get());
    PixPtr holes(pixHolesByFilling(component.get(), 4));
    if (!holes) continue;
    const int holeArea = Count(holes.get());
    const int filled = inkPixels + holeArea;
    if (filled < limits.minRectangularity * w * h) continue;
    if (holeArea < limits.minHoleShare * filled) continue;
    BoxaPtr holeBoxes(pixConnCompBB(holes.get(), 4));
    if (!holeBoxes || boxaGetCount(holeBoxes.get()) < limits.minHoles) continue;
    pixOr(holes.get(), holes.get(), component.get());
    found.push_back({x, y, w, h, std::move(holes)});
  }
  return found;
}

void RepaintFilledBoxes(Pix* image, const PageInk& ink, const std::vector<FilledBox>& boxes) {
  const int depth = pixGetDepth(image);
  if (depth != 8 && depth != 32) return;
  const bool rgb = depth == 32;
  const int f = ink.subsampling;
  const int imageWidth = pixGetWidth(image);
  const int imageHeight = pixGetHeight(image);
  const int wpl = pixGetWpl(image);
  l_uint32* data = pixGetData(image);
  for (const FilledBox& box : boxes) {
    const PixPtr mask = AtImageScale(ink, box.mask.get());
    if (!mask) continue;
    const int x0 = box.x * f, y0 = box.y * f;
    const int x1 = std::min(imageWidth, x0 + pixGetWidth(mask.get()));
    const int y1 = std::min(imageHeight, y0 + pixGetHeight(mask.get()));
    const int maskWpl = pixGetWpl(mask.get());
    const l_uint32* maskData = pixGetData(mask.get());
    const auto inBox = [&](int x, int y) {
      return GET_DATA_BIT(maskData + static_cast<ptrdiff_t>(y - y0) * maskWpl, x - x0) != 0;
    };
    const auto greyAt = [&](int x, int y) {
      const l_uint32* line = data + static_cast<ptrdiff_t>(y) * wpl;
      return rgb ? GreyOfRgb(line[x]) : static_cast<int>(GET_DATA_BYTE(line, x));
    };
    std::array<int, 256> histogram{};
    int total = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        if (!inBox(x, y)) continue;
        ++histogram[greyAt(x, y)];
        ++total;
      }
    }
    if (total == 0) continue;
    // The box's colour is its median grey (the text covers far less than half of it); the
    // text's is the far end, taken at the 2nd percentile so that a few odd pixels do not
    // set it.
    int median = 0;
    for (int seen = 0; median < 255; ++median) {
      seen += histogram[median];
      if (2 * seen >= total) break;
    }
    const bool lightText = median < 128;
    int far = lightText ? 255 : 0;
    for (int seen = 0; far != median; far += lightText ? -1 : 1) {
      seen += histogram[far];
      if (50 * seen >= total) break;
    }
    const double contrast = std::max(1, std::abs(far - median));
    for (int y = y0; y < y1; ++y) {
      l_uint32* line = data + static_cast<ptrdiff_t>(y) * wpl;
      for (int x = x0; x < x1; ++x) {
        if (!inBox(x, y)) continue;
        const double distance = std::abs(greyAt(x, y) - median) / contrast;
        const int ink255 = static_cast<int>(std::lround(255 * std::min(1.0, distance)));
        const int value = ink.darkBackground ? ink255 : 255 - ink255;
        if (rgb) {
          // The low byte is left as it is: Tesseract thresholds it like a colour channel.
          line[x] = (static_cast<l_uint32>(value) * 0x01010100u) | (line[x] & 0xffu);
        } else {
          SET_DATA_BYTE(line, x, value);
        }
      }
    }
  }
}

}  // namespace ocr::engine
