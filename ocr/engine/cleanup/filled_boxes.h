#pragma once

#include <vector>

#include "engine/cleanup/page_ink.h"

struct Pix;

namespace ocr::engine {

// Boxes filled with the ink's colour that hold text of the background's colour: filled
// buttons, dark table header rows, banners. Tesseract takes such a box on a light page for
// a picture and reads nothing in it. In CSS pixels (1/96 inch).
struct BoxLimits {
  double minWidth = 24;
  double minHeight = 16;
  // Boxes are found from the solid ink that holds a square this wide: thicker than the
  // strokes of bold text up to 32 px.
  double solidSquare = 6;
  // Filled with its holes, the box covers at least this share of its bounding rectangle,
  // and it is at least as wide as it is tall (a bold "D" or "B" is neither).
  double minRectangularity = 0.85;
  // Text makes holes: at least this many, covering at least minHoleShare of the box.
  int minHoles = 2;
  double minHoleShare = 0.02;
  // A box covering more than this share of the image is the page, not a box on it.
  double maxImageShare = 0.5;
};

// A box's rectangle at the ink's scale and its pixels (the box with its holes).
struct FilledBox {
  int x = 0, y = 0, width = 0, height = 0;
  PixPtr mask;  // width x height, 1 bpp
};

std::vector<FilledBox> FindFilledBoxes(const PageInk& ink, const BoxLimits& limits = {});

// Repaints each box of image (8 or 32 bpp, the size the ink was found on) in grey with the
// page's polarity: the box's own colour becomes the page's background, and the text in it
// the page's ink, in proportion to how far each pixel lies from the box's colour.
void RepaintFilledBoxes(Pix* image, const PageInk& ink, const std::vector<FilledBox>& boxes);

}  // namespace ocr::engine
