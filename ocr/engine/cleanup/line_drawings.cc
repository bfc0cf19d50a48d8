#include "engine/cleanup/line_drawings.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>

namespace ocr::engine {
namespace {

int Count(Pix* pix) {
  l_int32 count = 0;
  pixCountPixels(pix, &count, nullptr);
  return count;
}

// Whether the holes of component, which lies at (x, y) of mask, hold ink of their own.
bool EnclosesInk(Pix* component, Pix* mask, int x, int y) {
  PixPtr holes(pixHolesByFilling(component, 4));
  if (!holes) return false;
  const int w = pixGetWidth(component);
  const int h = pixGetHeight(component);
  // The mask's ink within the holes.
  pixRasterop(holes.get(), 0, 0, w, h, PIX_SRC & PIX_DST, mask, x, y);
  return Count(holes.get()) > 0;
}

}  // namespace

PixPtr FindLineDrawings(const PageInk& ink, int letterHeight, Pix* rules, Pix* frames,
                        const DrawingLimits& limits) {
  if (!ink.mask) return nullptr;
  // Frames are cleared on their own, keeping the strokes of letters that touch them: the
  // rest of the ink is looked at, where such letters are components of their own.
  PixPtr unframed;
  if (frames != nullptr) {
    unframed.reset(pixSubtract(nullptr, ink.mask.get(), frames));
    if (!unframed) return nullptr;
  }
  Pix* mask = unframed ? unframed.get() : ink.mask.get();
  // The share of component (at x, y of the mask) that lies on taken; 0 without taken.
  const auto onTaken = [](Pix* component, Pix* taken, int x, int y) {
    if (taken == nullptr) return 0.0;
    PixPtr both(pixCopy(nullptr, component));
    if (!both) return 0.0;
    pixRasterop(both.get(), 0, 0, pixGetWidth(component), pixGetHeight(component),
                PIX_SRC & PIX_DST, taken, x, y);
    return static_cast<double>(Count(both.get())) / std::max(1, Count(component));
  };
  // A page without letters is measured against a letter of 7 CSS pixels, a small one.
  const double letter =
      letterHeight > 0 ? static_cast<double>(letterHeight) / ink.subsampling : 7 * ink.pxPerCssPx;
  const int minWidth = static_cast<int>(std::lround(limits.minWidth * letter));
  const int minHeight = static_cast<int>(std::lround(limits.minHeight * letter));
  PixPtr large(
      pixSelectBySize(mask, minWidth, minHeight, 8, L_SELECT_IF_EITHER, L_SELECT_IF_GT, nullptr));
  if (!large) return nullptr;
  l_int32 empty = 1;
  pixZero(large.get(), &empty);
  if (empty) return nullptr;
  Pixa* components = nullptr;
  BoxaPtr boxes(pixConnComp(large.get(), &components, 8));
  const PixaPtr owned(components);
  if (!boxes || !components) return nullptr;
  PixPtr drawings(pixCreateTemplate(mask));
  if (!drawings) return nullptr;
  bool any = false;
  for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
    l_int32 x = 0, y = 0, w = 0, h = 0;
    boxaGetBoxGeometry(boxes.get(), i, &x, &y, &w, &h);
    PixPtr component(pixaGetPix(components, i, L_CLONE));
    if (!component) continue;
    if (Count(component.get()) > limits.maxDensity * w * h) continue;
    if (onTaken(component.get(), rules, x, y) > limits.maxRuleShare) continue;
    if (!EnclosesInk(component.get(), mask, x, y)) continue;
    pixRasterop(drawings.get(), x, y, w, h, PIX_SRC | PIX_DST, component.get(), 0, 0);
    any = true;
  }
  return any ? std::move(drawings) : nullptr;
}

}  // namespace ocr::engine
