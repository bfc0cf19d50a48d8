#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "native_messaging/host_response.h"

namespace morel_xy {

using morel::json;

// An integer rectangle. (px, py) lies inside when x <= px < x + width and y <= py < y + height.
struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool operator==(const Rect&) const = default;
  bool Contains(int32_t px, int32_t py) const {
    return x <= px && static_cast<int64_t>(px) < static_cast<int64_t>(x) + width && y <= py &&
           static_cast<int64_t>(py) < static_cast<int64_t>(y) + height;
  }
  // {"height":h,"width":w,"x":x,"y":y}
  json ToJson() const;
};

// One pixel colour, blue first in memory.
struct Color {
  uint8_t b = 0;
  uint8_t g = 0;
  uint8_t r = 0;

  bool operator==(const Color&) const = default;
};

// Reads the "color" text of "find_rectangle": six hex digits, optionally after "#", read as
// one number whose first two digits are blue and last two red. Any other length, or seven
// bytes without "#", gives black; conversion stops silently at the first non-hex character.
Color ColorFromText(const std::string& text);

// One display as reported to the extension; frames in points, bottom-left origin, y upward.
struct DisplayInfo {
  std::string id;
  std::string name;
  bool isPrimary = false;
  double backingScaleFactor = 0;
  Rect frame;
  Rect visibleFrame;

  json ToJson() const;
};

// A captured image: row-major, top row first, no padding.
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<Color> pixels;

  // Writes an uncompressed 32-bit bottom-up BMP file. Failures are not reported; when the
  // file cannot be created nothing is written.
  void Save(const std::string& path) const;
};

}  // namespace morel_xy
