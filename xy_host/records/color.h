#pragma once

#include <cstdint>
#include <string>

namespace morel_xy {

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

}  // namespace morel_xy
