#include "engine/cleanup/ruled_page.h"

#include <leptonica/allheaders.h>

#include "engine/cleanup/line_drawings.h"

namespace ocr::engine {

namespace {

// 1 bpp and colour-mapped images are cleared as grey.
PixPtr ClearableCopySource(Pix* image, Pix** source) {
  *source = image;
  if (pixGetColormap(image) == nullptr && (pixGetDepth(image) == 8 || pixGetDepth(image) == 32)) {
    return nullptr;
  }
  PixPtr converted(pixConvertTo8(image, 0));
  *source = converted.get();
  return converted;
}

// Clears source (8 or 32 bpp without a colour map), ink being its ink: converted once.
PixPtr ClearSource(Pix* source, const PageInk& ink, RuledPageFindings* found,
                   const RuleLimits& rules, const BoxLimits& boxes) {
  if (!ink.mask) return nullptr;
  const std::vector<FilledBox> filled = FindFilledBoxes(ink, boxes);
  RulingLines lines = FindRulingLines(ink, rules);
  // Outlines and connectors go like frames, their pixels filled from all four sides.
  int drawings = 0;
  const PixPtr taken = lines.horizontal && lines.vertical
                           ? PixPtr(pixOr(nullptr, lines.horizontal.get(), lines.vertical.get()))
                           : nullptr;
  if (const PixPtr drawn =
          taken ? FindLineDrawings(ink, TypicalLetterHeight(ink), taken.get(), lines.framed.get())
                : nullptr) {
    BoxaPtr parts(pixConnCompBB(drawn.get(), 8));
    drawings = parts ? boxaGetCount(parts.get()) : 0;
    pixOr(lines.horizontal.get(), lines.horizontal.get(), drawn.get());
    pixOr(lines.vertical.get(), lines.vertical.get(), drawn.get());
  }
  const bool anyLines = !lines.Empty();
  if (found != nullptr) {
    // Back to the image's pixels.
    const int f = ink.subsampling;
    const auto atImageScale = [f](std::vector<PixelBox> rects) {
      for (PixelBox& r : rects) r = {r.left * f, r.top * f, r.right * f, r.bottom * f};
      return rects;
    };
    *found = {lines.frames, static_cast<int>(filled.size()), drawings,
              anyLines,     atImageScale(lines.ruleBoxes),   atImageScale(lines.frameBoxes)};
  }
  if (filled.empty() && !anyLines) return nullptr;

  PixPtr cleared(pixCopy(nullptr, source));
  if (!cleared) return nullptr;
  if (anyLines) EraseRulingLines(cleared.get(), ink, lines, rules);
  RepaintFilledBoxes(cleared.get(), ink, filled);
  return cleared;
}

}  // namespace

PixPtr ClearRulesAndBoxes(Pix* image, int dpi, RuledPageFindings* found, const RuleLimits& rules,
                          const BoxLimits& boxes) {
  if (image == nullptr || dpi <= 0) return nullptr;
  Pix* source = nullptr;
  const PixPtr converted = ClearableCopySource(image, &source);
  if (source == nullptr) return nullptr;
  return ClearSource(source, FindPageInk(source, dpi), found, rules, boxes);
}

PixPtr ClearRulesAndBoxes(Pix* image, const PageInk& ink, RuledPageFindings* found,
                          const RuleLimits& rules, const BoxLimits& boxes) {
  // The ink's scale is positive exactly when the resolution it was found at is.
  if (image == nullptr || ink.pxPerCssPx <= 0) return nullptr;
  Pix* source = nullptr;
  const PixPtr converted = ClearableCopySource(image, &source);
  if (source == nullptr) return nullptr;
  return ClearSource(source, ink, found, rules, boxes);
}

}  // namespace ocr::engine
