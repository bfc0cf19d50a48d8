#include "desktop/kwin/logic/screenshot2_image.h"

#include <algorithm>
#include <cmath>

namespace morel_xy::kwin {
namespace {

// QImage's formats of four bytes a pixel, by where red and blue lie and whether colours are
// premultiplied by alpha.
struct Layout {
  bool redFirst = false;
  bool premultiplied = false;
};

std::optional<Layout> LayoutOf(uint32_t format) {
  switch (format) {
    case 4:  // RGB32
    case 5:  // ARGB32
      return Layout{false, false};
    case 6:  // ARGB32_Premultiplied
      return Layout{false, true};
    case 16:  // RGBX8888
    case 17:  // RGBA8888
      return Layout{true, false};
    case 18:  // RGBA8888_Premultiplied
      return Layout{true, true};
    default:
      return std::nullopt;
  }
}

uint8_t Unpremultiplied(uint8_t channel, uint8_t alpha) {
  if (alpha == 0 || alpha == 255) return channel;
  return static_cast<uint8_t>(std::min(255, (channel * 255 + alpha / 2) / alpha));
}

}  // namespace

CaptureRequest RequestFor(const PointRect& display, double scale, const PixelRect& area) {
  if (!(scale > 0) || !std::isfinite(scale)) scale = 1.0;
  // Whole logical units that cover the area, so that no device pixel of it is left out.
  const auto low = [&](int64_t pixels) { return static_cast<int64_t>(std::floor(pixels / scale)); };
  const auto high = [&](int64_t pixels) { return static_cast<int64_t>(std::ceil(pixels / scale)); };
  const int64_t left = low(area.x);
  const int64_t top = low(area.y);
  const int64_t right = high(area.x + area.width);
  const int64_t bottom = high(area.y + area.height);
  CaptureRequest request;
  request.x = static_cast<int64_t>(std::llround(display.x)) + left;
  request.y = static_cast<int64_t>(std::llround(display.y)) + top;
  request.width = right - left;
  request.height = bottom - top;
  request.keep = {area.x - static_cast<int64_t>(std::llround(left * scale)),
                  area.y - static_cast<int64_t>(std::llround(top * scale)), area.width,
                  area.height};
  return request;
}

std::optional<CapturedImage> ImageFromScreenShot2(const ScreenShot2Frame& frame,
                                                  std::span<const uint8_t> bytes,
                                                  const PixelRect& keep, std::string* error) {
  if (frame.type != "raw") {
    *error = "the screenshot is not raw pixels (type \"" + frame.type + "\")";
    return std::nullopt;
  }
  const std::optional<Layout> layout = LayoutOf(frame.format);
  if (!layout) {
    *error = "the screenshot's pixel format " + std::to_string(frame.format) + " is not read";
    return std::nullopt;
  }
  const uint64_t row = static_cast<uint64_t>(frame.width) * 4;
  if (frame.stride < row) {
    *error = "the screenshot's rows are shorter than its width";
    return std::nullopt;
  }
  if (frame.width == 0 || frame.height == 0 ||
      bytes.size() < static_cast<uint64_t>(frame.stride) * (frame.height - 1) + row) {
    *error = "the screenshot holds fewer pixels than its size";
    return std::nullopt;
  }
  const int64_t x0 = std::max<int64_t>(0, keep.x);
  const int64_t y0 = std::max<int64_t>(0, keep.y);
  const int64_t x1 = std::min<int64_t>(frame.width, keep.x + keep.width);
  const int64_t y1 = std::min<int64_t>(frame.height, keep.y + keep.height);
  if (x1 <= x0 || y1 <= y0) {
    *error = "nothing of the area is in the screenshot";
    return std::nullopt;
  }
  CapturedImage image;
  image.width = static_cast<int32_t>(x1 - x0);
  image.height = static_cast<int32_t>(y1 - y0);
  image.bytesPerRow = static_cast<size_t>(image.width) * 4;
  image.bgrx.resize(image.bytesPerRow * static_cast<size_t>(image.height));
  uint8_t* out = image.bgrx.data();
  for (int64_t y = y0; y < y1; ++y) {
    const uint8_t* in = bytes.data() + static_cast<size_t>(y) * frame.stride + x0 * 4;
    for (int64_t x = x0; x < x1; ++x, in += 4, out += 4) {
      const uint8_t alpha = in[3];
      const uint8_t red = layout->redFirst ? in[0] : in[2];
      const uint8_t blue = layout->redFirst ? in[2] : in[0];
      const auto plain = [&](uint8_t c) {
        return layout->premultiplied ? Unpremultiplied(c, alpha) : c;
      };
      out[0] = plain(blue);
      out[1] = plain(in[1]);
      out[2] = plain(red);
      out[3] = alpha;
    }
  }
  image.area = {0, 0, image.width, image.height};
  return image;
}

}  // namespace morel_xy::kwin
