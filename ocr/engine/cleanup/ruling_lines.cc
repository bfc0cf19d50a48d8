#include "engine/cleanup/ruling_lines.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace ocr::engine {
namespace {

int Px(double cssPx, double pxPerCssPx) {
  return std::max(1, static_cast<int>(std::lround(cssPx * pxPerCssPx)));
}

// The share of ink in the line of mask pixels (x, y, w, h); none outside the mask.
double InkShare(Pix* mask, int x, int y, int w, int h, l_int32* table) {
  if (x < 0 || y < 0 || x + w > pixGetWidth(mask) || y + h > pixGetHeight(mask)) return 0;
  Box* box = boxCreate(x, y, w, h);
  l_int32 count = 0;
  pixCountPixelsInRect(mask, box, &count, table);
  boxDestroy(&box);
  return static_cast<double>(count) / (static_cast<double>(w) * h);
}

// Removes from runs each run for which drop(before, after) holds, before and after being
// the shares of ink along the run's two sides (above and below a horizontal run, left and
// right of a vertical one).
template <typename Drop>
void DropRuns(Pix* runs, Pix* mask, bool horizontal, Drop drop) {
  Pixa* components = nullptr;
  BoxaPtr boxes(pixConnComp(runs, &components, 8));
  const PixaPtr owned(components);
  if (!boxes || !components) return;
  std::unique_ptr<l_int32, decltype(&lept_free)> table(makePixelSumTab8(), &lept_free);
  for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
    l_int32 x = 0, y = 0, w = 0, h = 0;
    boxaGetBoxGeometry(boxes.get(), i, &x, &y, &w, &h);
    const double before = horizontal ? InkShare(mask, x, y - 1, w, 1, table.get())
                                     : InkShare(mask, x - 1, y, 1, h, table.get());
    const double after = horizontal ? InkShare(mask, x, y + h, w, 1, table.get())
                                    : InkShare(mask, x + w, y, 1, h, table.get());
    if (!drop(before, after)) continue;
    PixPtr component(pixaGetPix(components, i, L_CLONE));
    if (component) pixRasterop(runs, x, y, w, h, PIX_SUBTRACT, component.get(), 0, 0);
  }
}

// A rule stands on the background on one side at least (a table's, a field's, a dark
// sidebar's edge), while the dark gaps between the light letters of a dark band, and
// between its lines, are as long and as thin as rules but lie between the letters' ink.
// Erased, they smear the letters.
bool WithinInk(double before, double after) {
  return before > 0.5 && after > 0.5;
}

// Letters stand on an underline (a link's): erasing it takes the feet of the letters that
// touch it and the parts of descenders that cross it, while Tesseract reads underlined
// words well. Text in a table's cells keeps its padding off the rules.
constexpr double kUnderlineTouch = 0.2;
bool Underline(double above, double /*below*/) {
  return above >= kUnderlineTouch;
}

// The components of the opening that are at most maxThickness across its direction and
// stand on the background on one side at least.
PixPtr ThinRuns(Pix* mask, int length, bool horizontal, int maxThickness) {
  // The composite brick does a long opening in a few dozen rasterops instead of `length`.
  PixPtr opened(horizontal ? pixOpenCompBrick(nullptr, mask, length, 1)
                           : pixOpenCompBrick(nullptr, mask, 1, length));
  if (!opened) return nullptr;
  l_int32 empty = 1;
  pixZero(opened.get(), &empty);
  if (empty) return opened;
  PixPtr thin(
      pixSelectBySize(opened.get(), horizontal ? 0 : maxThickness, horizontal ? maxThickness : 0, 8,
                      horizontal ? L_SELECT_HEIGHT : L_SELECT_WIDTH, L_SELECT_IF_LTE, nullptr));
  if (thin) DropRuns(thin.get(), mask, horizontal, WithinInk);
  return thin;
}

struct Segment {
  int x0, y0, x1, y1;  // inclusive-exclusive
};

std::vector<Segment> Segments(Pix* runs) {
  std::vector<Segment> segments;
  BoxaPtr boxes(pixConnCompBB(runs, 8));
  if (!boxes) return segments;
  const int count = boxaGetCount(boxes.get());
  segments.reserve(count);
  for (int i = 0; i < count; ++i) {
    l_int32 x = 0, y = 0, w = 0, h = 0;
    boxaGetBoxGeometry(boxes.get(), i, &x, &y, &w, &h);
    segments.push_back({x, y, x + w, y + h});
  }
  return segments;
}

struct Frame {
  int x0, y0, x1, y1;
  Segment sides[4];  // top, bottom, left, right
};

// The vertical segment that closes a frame on one side of top and bottom: it spans the gap
// between them, ending no further than `slack` from either, and stands where the horizontal
// sides end, or up to `slack` beyond them (a rounded corner): the nearest, as the side of a
// neighbouring cell may stand a few pixels further. Its distance from their ends, positive
// outwards, goes to *gap.
const Segment* Side(const std::vector<Segment>& verticals, const Segment& top,
                    const Segment& bottom, bool left, int slack, int tolerance, int* gap) {
  // The nearest such segment: the side of a neighbouring cell may stand a few pixels off.
  const Segment* best = nullptr;
  for (const Segment& v : verticals) {
    const int outward = left ? top.x0 - v.x1 : v.x0 - top.x1;
    if (outward < -tolerance || outward > slack) continue;
    if (v.y0 < top.y0 - tolerance || v.y0 > top.y1 + slack) continue;
    if (v.y1 > bottom.y1 + tolerance || v.y1 < bottom.y0 - slack) continue;
    if (best == nullptr || std::abs(outward) < std::abs(*gap)) {
      best = &v;
      *gap = outward;
    }
  }
  return best;
}

// Rectangles made of two horizontal and two vertical segments: fields, buttons, cells. The
// horizontal sides have the same extent, the corners are alike, and the nearest bottom that
// closes a rectangle is a top's frame. Strokes of text next to each other ("[ |", "L" over
// "=") do not line up this way.
std::vector<Frame> MatchFrames(std::vector<Segment> horizontals,
                               const std::vector<Segment>& verticals, int slack, int tolerance,
                               int minWidth, int minHeight) {
  std::vector<Frame> frames;
  std::sort(horizontals.begin(), horizontals.end(),
            [](const Segment& a, const Segment& b) { return a.y0 < b.y0; });
  for (size_t i = 0; i < horizontals.size(); ++i) {
    const Segment& top = horizontals[i];
    for (size_t j = i + 1; j < horizontals.size(); ++j) {
      const Segment& bottom = horizontals[j];
      if (bottom.y0 <= top.y1) continue;
      if (std::abs(bottom.x0 - top.x0) > tolerance || std::abs(bottom.x1 - top.x1) > tolerance) {
        continue;
      }
      if (bottom.y1 - top.y0 < minHeight) continue;
      int leftGap = 0, rightGap = 0;
      const Segment* left = Side(verticals, top, bottom, true, slack, tolerance, &leftGap);
      const Segment* right = Side(verticals, top, bottom, false, slack, tolerance, &rightGap);
      if (left == nullptr || right == nullptr || std::abs(leftGap - rightGap) > tolerance) {
        continue;
      }
      const Frame frame{left->x0, top.y0, right->x1, bottom.y1, {top, bottom, *left, *right}};
      if (frame.x1 - frame.x0 < minWidth) break;
      frames.push_back(frame);
      break;
    }
  }
  return frames;
}

void SetRect(Pix* mask, int x0, int y0, int x1, int y1, bool on) {
  const int w = pixGetWidth(mask);
  const int h = pixGetHeight(mask);
  x0 = std::max(0, x0);
  y0 = std::max(0, y0);
  x1 = std::min(w, x1);
  y1 = std::min(h, y1);
  if (x1 <= x0 || y1 <= y0) return;
  pixRasterop(mask, x0, y0, x1 - x0, y1 - y0, on ? PIX_SET : PIX_CLR, nullptr, 0, 0);
}

}  // namespace

bool RulingLines::Empty() const {
  l_int32 emptyH = 1, emptyV = 1;
  if (horizontal) pixZero(horizontal.get(), &emptyH);
  if (vertical) pixZero(vertical.get(), &emptyV);
  return emptyH && emptyV;
}

RulingLines FindRulingLines(const PageInk& ink, const RuleLimits& limits) {
  RulingLines lines;
  Pix* mask = ink.mask.get();
  if (mask == nullptr) return lines;
  const double unit = ink.pxPerCssPx;
  const int thickness = Px(limits.maxThickness, unit);
  lines.horizontal = ThinRuns(mask, Px(limits.longHorizontal, unit), true, thickness);
  if (lines.horizontal) DropRuns(lines.horizontal.get(), mask, true, Underline);
  lines.vertical = ThinRuns(mask, Px(limits.longVertical, unit), false, thickness);
  if (!lines.horizontal || !lines.vertical) return {};
  for (const Segment& rule : Segments(lines.horizontal.get())) {
    lines.ruleBoxes.push_back({rule.x0, rule.y0, rule.x1, rule.y1});
  }

  // Frames: rectangles of shorter sides.
  const int side = Px(limits.frameSide, unit);
  PixPtr shortH = ThinRuns(mask, side, true, thickness);
  PixPtr shortV = ThinRuns(mask, side, false, thickness);
  if (!shortH || !shortV) return lines;
  const int slack = Px(limits.cornerSlack, unit);
  const std::vector<Frame> frames =
      MatchFrames(Segments(shortH.get()), Segments(shortV.get()), slack, thickness + 1,
                  Px(limits.frameMinWidth, unit), Px(limits.frameMinHeight, unit));
  lines.frames = static_cast<int>(frames.size());
  if (frames.empty()) return lines;
  for (const Frame& f : frames) lines.frameBoxes.push_back({f.x0, f.y0, f.x1, f.y1});

  // A frame's pixels: the ink connected to its sides within a band as thick as a rule
  // along each side, widened at the corners to hold rounded ones, so that text close to a
  // side (a "J" whose hook nearly touches it) is left alone.
  PixPtr band(pixCreateTemplate(mask));
  PixPtr seeds(pixCreateTemplate(mask));
  const int corner = thickness + slack / 2;
  for (const Frame& f : frames) {
    // Each side's band is that side, as thick as it is.
    const Segment& top = f.sides[0];
    const Segment& bottom = f.sides[1];
    const Segment& left = f.sides[2];
    const Segment& right = f.sides[3];
    SetRect(band.get(), f.x0, f.y0, f.x1, top.y1, true);
    SetRect(band.get(), f.x0, bottom.y0, f.x1, f.y1, true);
    SetRect(band.get(), f.x0, f.y0, left.x1, f.y1, true);
    SetRect(band.get(), right.x0, f.y0, f.x1, f.y1, true);
    // A rounded corner leaves its very corner pixel blank; its arc lies within a square
    // there. A square corner needs nothing more, and a letter close to it (the hook of a
    // "J" in a cell one line high) is left alone.
    for (const bool atRight : {false, true}) {
      for (const bool lower : {false, true}) {
        const int x = atRight ? f.x1 - 1 : f.x0;
        const int y = lower ? f.y1 - 1 : f.y0;
        l_uint32 square = 0;
        pixGetPixel(mask, x, y, &square);
        if (square) continue;
        const int cx = atRight ? f.x1 + 1 - corner : f.x0 - 1;
        const int cy = lower ? f.y1 + 1 - corner : f.y0 - 1;
        SetRect(band.get(), cx, cy, cx + corner, cy + corner, true);
      }
    }
  }
  pixAnd(band.get(), band.get(), mask);
  // Seeds: the four sides alone, not every stroke that happens to lie in the band.
  for (const Frame& f : frames) {
    for (const Segment& s : f.sides) SetRect(seeds.get(), s.x0, s.y0, s.x1, s.y1, true);
  }
  PixPtr sides(pixOr(nullptr, shortH.get(), shortV.get()));
  if (!sides) return lines;
  pixAnd(seeds.get(), seeds.get(), sides.get());
  pixAnd(seeds.get(), seeds.get(), band.get());
  PixPtr framed(pixSeedfillBinary(nullptr, seeds.get(), band.get(), 8));
  if (!framed) return lines;
  pixOr(lines.horizontal.get(), lines.horizontal.get(), framed.get());
  pixOr(lines.vertical.get(), lines.vertical.get(), framed.get());
  lines.framed = std::move(framed);
  return lines;
}

void EraseRulingLines(Pix* image, const PageInk& ink, const RulingLines& lines,
                      const RuleLimits& limits) {
  const int depth = pixGetDepth(image);
  if ((depth != 8 && depth != 32) || !lines.horizontal || !lines.vertical) return;
  // Back to the image's scale.
  PixPtr horizontal = AtImageScale(ink, lines.horizontal.get());
  PixPtr vertical = AtImageScale(ink, lines.vertical.get());
  const PixPtr inkPixels = AtImageScale(ink, ink.mask.get());
  if (!horizontal || !vertical || !inkPixels) return;
  // A pixel wider across the line for its anti-aliased edges, but not into ink: a letter
  // that touches a rule keeps its strokes.
  const auto widen = [&](PixPtr& mask, int w, int h) {
    PixPtr edges(pixDilateBrick(nullptr, mask.get(), w, h));
    if (!edges) return false;
    pixSubtract(edges.get(), edges.get(), inkPixels.get());
    pixOr(mask.get(), mask.get(), edges.get());
    return true;
  };
  if (!widen(horizontal, 1, 3) || !widen(vertical, 3, 1)) return;
  PixPtr any(pixOr(nullptr, horizontal.get(), vertical.get()));
  if (!any) return;

  const int width = std::min(pixGetWidth(image), pixGetWidth(any.get()));
  const int height = std::min(pixGetHeight(image), pixGetHeight(any.get()));
  const int reach = Px(limits.maxThickness, ink.pxPerCssPx * ink.subsampling) + 3;
  const int maskWpl = pixGetWpl(any.get());
  const int imageWpl = pixGetWpl(image);
  const l_uint32* anyData = pixGetData(any.get());
  const l_uint32* hData = pixGetData(horizontal.get());
  const l_uint32* vData = pixGetData(vertical.get());
  l_uint32* data = pixGetData(image);
  const bool rgb = depth == 32;
  const bool dark = ink.darkBackground;
  const auto greyAt = [&](int x, int y) {
    const l_uint32* line = data + static_cast<ptrdiff_t>(y) * imageWpl;
    return rgb ? GreyOfRgb(line[x]) : static_cast<int>(GET_DATA_BYTE(line, x));
  };
  const auto masked = [&](const l_uint32* mask, int x, int y) {
    return GET_DATA_BIT(mask + static_cast<ptrdiff_t>(y) * maskWpl, x) != 0;
  };
  const l_uint32 background = rgb ? ink.backgroundRgb : static_cast<l_uint32>(ink.backgroundGrey);

  for (int y = 0; y < height; ++y) {
    const l_uint32* row = anyData + static_cast<ptrdiff_t>(y) * maskWpl;
    for (int word = 0; word * 32 < width; ++word) {
      if (row[word] == 0) continue;
      for (int bit = 0; bit < 32; ++bit) {
        const int x = word * 32 + bit;
        if (x >= width) break;
        if (!GET_DATA_BIT(row, x)) continue;
        const bool acrossRows = masked(hData, x, y);
        const bool acrossColumns = masked(vData, x, y);
        int best = -1, bestX = 0, bestY = 0;
        const auto consider = [&](int cx, int cy) {
          if (cx < 0 || cy < 0 || cx >= width || cy >= height || masked(anyData, cx, cy)) return;
          const int grey = greyAt(cx, cy);
          const int score = dark ? 255 - grey : grey;
          if (score > best) {
            best = score;
            bestX = cx;
            bestY = cy;
          }
        };
        // Within reach; further only where crossing lines leave nothing nearer.
        for (int d = 1; d <= 4 * reach && (d <= reach || best < 0); ++d) {
          if (acrossRows) {
            consider(x, y - d);
            consider(x, y + d);
          }
          if (acrossColumns) {
            consider(x - d, y);
            consider(x + d, y);
          }
        }
        l_uint32* line = data + static_cast<ptrdiff_t>(y) * imageWpl;
        if (rgb) {
          // The low byte is left as it is: Tesseract thresholds it like a colour channel.
          line[x] = best < 0 ? (background | (line[x] & 0xffu))
                             : data[static_cast<ptrdiff_t>(bestY) * imageWpl + bestX];
        } else {
          const l_uint32 value =
              best < 0 ? background
                       : GET_DATA_BYTE(data + static_cast<ptrdiff_t>(bestY) * imageWpl, bestX);
          SET_DATA_BYTE(line, x, value);
        }
      }
    }
  }
}

}  // namespace ocr::engine
