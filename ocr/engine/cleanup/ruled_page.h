#pragma once

#include <vector>

#include "engine/cleanup/filled_boxes.h"
#include "engine/cleanup/ruling_lines.h"
#include "engine/leptonica/pix_bitmap.h"

struct Pix;

namespace ocr::engine {

// What ClearRulesAndBoxes found: counts for the benchmarks, and where the long horizontal
// rules and the frames lie (in the image's pixels) for the reading order of ruled tables.
struct RuledPageFindings {
  int frames = 0;
  int filledBoxes = 0;
  int drawings = 0;  // outlines and connectors (FindLineDrawings)
  bool lines = false;
  std::vector<PixelBox> ruleBoxes;
  std::vector<PixelBox> frameBoxes;
};

// A copy of image (any depth Leptonica reads, resolution dpi) with its ruling lines and line
// drawings (outlines of pills and shapes, connectors) erased and its filled boxes repainted, for
// the recogniser: table rules, field and button frames and dark buttons with light text otherwise
// make Tesseract read garbage or nothing. Null when the image has neither, so that pages without
// them are recognised exactly as they are. The copy has the image's size, so boxes found on it need
// no conversion.
PixPtr ClearRulesAndBoxes(Pix* image, int dpi, RuledPageFindings* found = nullptr,
                          const RuleLimits& rules = {}, const BoxLimits& boxes = {});
// The same, with the image's ink already found (FindPageInk of image at its resolution),
// which carries the resolution.
PixPtr ClearRulesAndBoxes(Pix* image, const PageInk& ink, RuledPageFindings* found = nullptr,
                          const RuleLimits& rules = {}, const BoxLimits& boxes = {});

}  // namespace ocr::engine
