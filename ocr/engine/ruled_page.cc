#include "engine/ruled_page.h"

#include <leptonica/allheaders.h>

namespace ocr::engine {

PixPtr ClearRulesAndBoxes(Pix* image, int dpi, RuledPageCounts* counts, const RuleLimits& rules,
                          const BoxLimits& boxes) {
  if (image == nullptr || dpi <= 0) return nullptr;
  // 1 bpp and colour-mapped images are cleared as grey.
  PixPtr converted;
  Pix* source = image;
  if (pixGetColormap(image) != nullptr || (pixGetDepth(image) != 8 && pixGetDepth(image) != 32)) {
    converted.reset(pixConvertTo8(image, 0));
    if (!converted) return nullptr;
    source = converted.get();
  }
  const PageInk ink = FindPageInk(source, dpi);
  if (!ink.mask) return nullptr;
  const std::vector<FilledBox> filled = FindFilledBoxes(ink, boxes);
  const RulingLines lines = FindRulingLines(ink, rules);
  const bool anyLines = !lines.Empty();
  if (counts != nullptr) *counts = {lines.frames, static_cast<int>(filled.size()), anyLines};
  if (filled.empty() && !anyLines) return nullptr;

  PixPtr cleared(pixCopy(nullptr, source));
  if (!cleared) return nullptr;
  if (anyLines) EraseRulingLines(cleared.get(), ink, lines, rules);
  RepaintFilledBoxes(cleared.get(), ink, filled);
  return cleared;
}

}  // namespace ocr::engine
