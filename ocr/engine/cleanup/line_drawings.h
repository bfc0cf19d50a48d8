#pragma once

#include "engine/cleanup/page_ink.h"
#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {

// What counts as a line drawing, relative to the page's typical letter height.
struct DrawingLimits {
  // A drawing is wider than this many letter heights, or taller than minHeight of them:
  // larger than any letter of the page's text.
  double minWidth = 4;
  double minHeight = 3;
  // Its strokes cover at most this share of its bounding box: an outline or a connector,
  // where a letter, a picture, or words run together fill theirs far more.
  double maxDensity = 0.2;
  // At most this share of its pixels lies on straight rules.
  double maxRuleShare = 0.8;
};

// The outlines drawn around text, with the lines that join them: the rounded outlines of
// pills, chips, badges and toggles, the shapes of flowcharts and syntax diagrams with their
// connectors and arrows. Tesseract's layout analysis finds no text lines among them. A
// drawing encloses ink (its label): a line with letters touching it (an underline) or a
// bracket encloses none and is left. A mask at the ink's
// scale of the ink components that are such drawings; null when there are none (or when
// Leptonica cannot tell). letterHeight: TypicalLetterHeight of the ink, in image pixels.
// rules and frames: the ink already taken for each (null: none). Frames are looked past (a
// drawing may join them), and a component that is mostly rules is left to them: both keep
// the strokes of letters that touch them, where a drawing goes whole.
PixPtr FindLineDrawings(const PageInk& ink, int letterHeight, Pix* rules, Pix* frames,
                        const DrawingLimits& limits = {});

}  // namespace ocr::engine
