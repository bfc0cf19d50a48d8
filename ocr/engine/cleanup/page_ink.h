#pragma once

#include <optional>

#include "engine/leptonica/pix_bitmap.h"

struct Pix;

namespace ocr::engine {

// Where the ink of a page image lies: the pixels that stand out from its background, at a
// resolution near a screen's, which is fine enough to see a one-pixel rule and coarse enough
// to find rules and boxes quickly on a 300 DPI page.
struct PageInk {
  PixPtr mask;              // 1 bpp, 1 = ink
  int subsampling = 1;      // image pixels per mask pixel, in each direction
  double pxPerCssPx = 1.0;  // mask pixels per 1/96 inch
  bool darkBackground = false;
  int backgroundGrey = 255;  // the image's median grey
  // The median of each colour of a 32 bpp image (0xRRGGBB00), its grey otherwise.
  unsigned backgroundRgb = 0xffffff00u;
};

// Pages are looked at about 150 pixels per inch: a 300 DPI page every second pixel, a
// screen at every pixel. A rule one CSS pixel wide is three pixels wide at 300 DPI, so
// sampling every second pixel still meets it.
inline constexpr int kDetectionDpi = 150;

// The image pixels per looked-at pixel, in each direction, of an image at dpi.
int DetectionSubsampling(int dpi);

// image (any depth Leptonica reads) as 8 bpp grey, every subsampling-th pixel of every
// subsampling-th row; null when Leptonica cannot make it.
PixPtr GreyAtDetectionScale(Pix* image, int subsampling);

// Ink differs from the median grey of the image by more than this, towards the other end.
inline constexpr int kInkContrast = 64;

// The median level of grey (8 bpp without a colour map), from every 4th pixel of every 4th
// row; nothing when Leptonica cannot tell.
std::optional<int> MedianGrey(Pix* grey);

// Whether most of an 8 bpp grey image is darker than mid-grey, judged from a sample of its
// pixels: such an image holds light text on a dark background.
bool MostlyDark(Pix* grey);

// The ink of an image (any depth Leptonica reads) whose resolution is dpi. The mask has
// nothing set when the image is uniform, and is null only when Leptonica cannot convert it.
PageInk FindPageInk(Pix* image, int dpi);

// mask (1 bpp, at the ink's scale) at the image's scale: each pixel repeated subsampling
// times in each direction. Null when Leptonica cannot make it.
PixPtr AtImageScale(const PageInk& ink, Pix* mask);

// The height in image pixels of a typical letter of the page: the median height of the
// ink's letter-sized components, which lower-case letters dominate (about the x-height).
// 0 when the page holds none.
int TypicalLetterHeight(const PageInk& ink);

// Grey level of a 32 bpp pixel (0xRRGGBB00), weighted as Leptonica's luminance.
inline int GreyOfRgb(unsigned pixel) {
  const unsigned red = pixel >> 24;
  const unsigned green = (pixel >> 16) & 0xff;
  const unsigned blue = (pixel >> 8) & 0xff;
  return static_cast<int>((77 * red + 150 * green + 29 * blue + 128) >> 8);
}

}  // namespace ocr::engine
