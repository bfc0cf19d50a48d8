#include "desktop/wlroots/logic/output_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace morel_xy::wlroots {

OutputLayout::OutputLayout(std::vector<OutputInfo> outputs) {
  for (OutputInfo& output : outputs) {
    if (output.width > 0 && output.height > 0) m_outputs.push_back(std::move(output));
  }
}

const OutputInfo* OutputLayout::Main() const {
  const OutputInfo* best = nullptr;
  for (const OutputInfo& output : m_outputs) {
    if (output.x == 0 && output.y == 0) return &output;
    if (!best || output.x < best->x || (output.x == best->x && output.y < best->y)) {
      best = &output;
    }
  }
  return best;
}

const OutputInfo* OutputLayout::Find(uint32_t id) const {
  for (const OutputInfo& output : m_outputs) {
    if (output.id == id) return &output;
  }
  return nullptr;
}

const OutputInfo* OutputLayout::At(Point point) const {
  const OutputInfo* main = Main();
  if (!main) return nullptr;
  const double x = point.x + main->x;
  const double y = point.y + main->y;
  for (const OutputInfo& output : m_outputs) {
    if (x >= output.x && x < output.x + output.width && y >= output.y &&
        y < output.y + output.height) {
      return &output;
    }
  }
  return nullptr;
}

double OutputLayout::Scale(const OutputInfo& output) {
  if (output.width <= 0 || output.pixelWidth <= 0) {
    return output.integerScale > 0 ? output.integerScale : 1.0;
  }
  const double ratio = static_cast<double>(output.pixelWidth) / output.width;
  // The logical size is the mode divided by the scale, rounded down (1600 pixels at 1.5 are
  // 1066 points): the ratio is a little off. The scale on a 1/120 grid (as Wayland's
  // fractional scales are given) that rounds down to the same logical size is the one set.
  const double grid = std::round(ratio * 120) / 120;
  const double pixels = output.pixelWidth;
  if (grid * output.width <= pixels + 1e-6 && pixels < grid * (output.width + 1) - 1e-6) {
    return grid;
  }
  return ratio;
}

std::vector<DesktopDisplay> OutputLayout::Displays() const {
  std::vector<DesktopDisplay> displays;
  const OutputInfo* main = Main();
  for (const OutputInfo& output : m_outputs) {
    DesktopDisplay display;
    display.number = output.id;
    // wlroots reports "Unknown" for a monitor whose EDID names no product.
    display.name =
        output.model.empty() || output.model == "Unknown" ? output.connector : output.model;
    display.main = &output == main;
    display.scale = Scale(output);
    display.frame =
        PointRect{static_cast<double>(output.x - main->x), static_cast<double>(output.y - main->y),
                  static_cast<double>(output.width), static_cast<double>(output.height)};
    // Panels reserve their space through the layer shell, which no client can read back.
    display.workArea = display.frame;
    displays.push_back(std::move(display));
  }
  return displays;
}

std::optional<OutputLayout::Motion> OutputLayout::PointerMotion(Point point) const {
  const OutputInfo* main = Main();
  if (!main) return std::nullopt;
  int64_t left = std::numeric_limits<int64_t>::max(), top = left;
  int64_t right = std::numeric_limits<int64_t>::min(), bottom = right;
  for (const OutputInfo& output : m_outputs) {
    left = std::min<int64_t>(left, output.x);
    top = std::min<int64_t>(top, output.y);
    right = std::max<int64_t>(right, int64_t{output.x} + output.width);
    bottom = std::max<int64_t>(bottom, int64_t{output.y} + output.height);
  }
  // The compositor maps x / extent onto the box; the last whole unit inside it is extent - 1.
  const auto place = [](double value, int64_t size) {
    if (!std::isfinite(value)) return uint32_t{0};
    const double clamped = std::clamp(std::round(value), 0.0, static_cast<double>(size - 1));
    return static_cast<uint32_t>(clamped);
  };
  Motion motion;
  motion.xExtent = static_cast<uint32_t>(right - left);
  motion.yExtent = static_cast<uint32_t>(bottom - top);
  motion.x = place(point.x + main->x - left, right - left);
  motion.y = place(point.y + main->y - top, bottom - top);
  return motion;
}

PointRect OutputLayout::ToGlobal(const PointRect& layoutRect) const {
  const OutputInfo* main = Main();
  if (!main) return layoutRect;
  return PointRect{layoutRect.x - main->x, layoutRect.y - main->y, layoutRect.width,
                   layoutRect.height};
}

std::optional<PixelRect> OutputLayout::ClipToOutput(const OutputInfo& output,
                                                    const PixelRect& area) {
  const int64_t left = std::max<int64_t>(area.x, 0);
  const int64_t top = std::max<int64_t>(area.y, 0);
  if (area.width <= 0 || area.height <= 0) return std::nullopt;
  // The area comes from the host's arithmetic on window frames: saturate rather than wrap.
  const auto end = [](int64_t start, int64_t size) {
    int64_t sum = 0;
    return __builtin_add_overflow(start, size, &sum) ? std::numeric_limits<int64_t>::max() : sum;
  };
  const int64_t right = std::min<int64_t>(end(area.x, area.width), output.pixelWidth);
  const int64_t bottom = std::min<int64_t>(end(area.y, area.height), output.pixelHeight);
  if (right <= left || bottom <= top) return std::nullopt;
  return PixelRect{left, top, right - left, bottom - top};
}

}  // namespace morel_xy::wlroots
