// ExactRectFinder against the plain reference search: the same candidates in the same order
// and the same answer, for small bitmaps painted from a few near colours (so the tolerance
// matters) with rectangles, outlines and noise.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "actions/exact_rect_finder.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "reference_rect_finder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  morel_xy::Bitmap bitmap;
  bitmap.width = 1 + in.Byte() % 80;  // past 64, so the packed mask spans two words
  bitmap.height = 1 + in.Byte() % 40;
  const int tolerance = in.Byte() % 12;
  const morel_xy::Color base{in.Byte(), in.Byte(), in.Byte()};
  // Four colours: the wanted one and three that are off by a little in one channel.
  morel_xy::Color palette[4] = {base, base, base, base};
  for (int i = 1; i < 4; ++i) {
    const uint8_t delta = in.Byte() % 16;
    uint8_t& channel = i == 1 ? palette[i].b : i == 2 ? palette[i].g : palette[i].r;
    channel = static_cast<uint8_t>(channel + delta);
  }
  bitmap.pixels.assign(static_cast<size_t>(bitmap.width) * bitmap.height, palette[1]);

  // Shapes: filled rectangles, one-pixel outlines and single pixels, in palette colours.
  while (!in.Done()) {
    const uint8_t op = in.Byte();
    const int x = in.Byte() % bitmap.width;
    const int y = in.Byte() % bitmap.height;
    const int w = 1 + in.Byte() % bitmap.width;
    const int h = 1 + in.Byte() % bitmap.height;
    const morel_xy::Color color = palette[op % 4];
    auto put = [&](int px, int py) {
      if (px < bitmap.width && py < bitmap.height)
        bitmap.pixels[static_cast<size_t>(py) * bitmap.width + px] = color;
    };
    switch ((op >> 2) % 3) {
      case 0:
        for (int py = y; py < y + h; ++py)
          for (int px = x; px < x + w; ++px) put(px, py);
        break;
      case 1:
        for (int px = x; px < x + w; ++px) put(px, y), put(px, y + h - 1);
        for (int py = y; py < y + h; ++py) put(x, py), put(x + w - 1, py);
        break;
      default:
        put(x, y);
        break;
    }
  }

  const morel_test::ReferenceSearch expected =
      morel_test::ReferenceFindRect(bitmap, base, tolerance);
  const morel_xy::detail::ExactRectFinderContext context =
      morel_xy::detail::MarkColor(bitmap, base, tolerance);
  const std::vector<morel_xy::Rect> candidates = morel_xy::detail::FindCandidates(context);
  FUZZ_CHECK(candidates == expected.candidates, "the candidates differ from the reference");

  morel_xy::Rect result{-7, -7, -7, -7};
  const bool found = morel_xy::ExactRectFinder(bitmap).Find(base, tolerance, result);
  FUZZ_CHECK(found == expected.found, "found differs from the reference");
  if (found) {
    FUZZ_CHECK(result == expected.result, "the rectangle differs from the reference");
  } else {
    FUZZ_CHECK(result == (morel_xy::Rect{-7, -7, -7, -7}), "a failed search changed the result");
  }
  return 0;
}
