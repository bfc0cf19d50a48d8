#pragma once

#include <vector>

#include "engine/cleanup/page_ink.h"
#include "engine/interfaces/pixel_box.h"
#include "engine/leptonica/pix_bitmap.h"

struct Pix;

namespace ocr::engine {

// What counts as a ruling line, in CSS pixels (1/96 inch) whatever the image's resolution.
// Chosen by measurement (bench/ocr_rules.py): no stroke of text up to 32 px (24 pt) in the
// fonts measured is ever taken for a rule, while table rules, field and button frames are.
struct RuleLimits {
  // A horizontal rule is at least this long, a vertical one at least longVertical, and
  // neither is thicker than maxThickness.
  double longHorizontal = 100;
  double longVertical = 64;
  double maxThickness = 4;
  // A frame (field, button, table cell with its own border) is a rectangle of four thin
  // sides, each side at least frameSide long where it is straight, the whole at least
  // frameMinWidth x frameMinHeight. Sides meet within cornerSlack (rounded corners).
  double frameSide = 12;
  double frameMinWidth = 24;
  double frameMinHeight = 20;
  double cornerSlack = 8;
};

// The ruling lines of a page, as masks at the ink's scale. Pixels of horizontal rules are
// filled from above and below when erased, those of vertical rules from left and right,
// and frame pixels (in both masks) from all four sides.
struct RulingLines {
  PixPtr horizontal;
  PixPtr vertical;
  // The frames' pixels alone (also in both masks above); null when there are none.
  PixPtr framed;
  int frames = 0;
  // Where the long horizontal rules and the frames lie, at the ink's scale: what tells the
  // rows of a ruled table.
  std::vector<PixelBox> ruleBoxes;
  std::vector<PixelBox> frameBoxes;
  bool Empty() const;
};

RulingLines FindRulingLines(const PageInk& ink, const RuleLimits& limits = {});

// Erases the masked pixels of image (8 or 32 bpp, the size the ink was found on): each
// takes the colour of the lightest pixel (darkest on a dark background) within a few
// pixels across its line that is not itself on a line, or the background grey when none
// is. So text close to a rule keeps its strokes and a rule on a coloured band takes the
// band's colour.
void EraseRulingLines(Pix* image, const PageInk& ink, const RulingLines& lines,
                      const RuleLimits& limits = {});

}  // namespace ocr::engine
