#include "records/color.h"

#include <cstdlib>

namespace morel_xy {

Color ColorFromText(const std::string& text) {
  const char* digits = nullptr;
  if (text.size() == 6) {
    digits = text.c_str();
  } else if (text.size() == 7 && text[0] == '#') {
    digits = text.c_str() + 1;
  } else {
    return Color{};
  }
  const long v = std::strtol(digits, nullptr, 16);
  return Color{static_cast<uint8_t>((v >> 16) & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF),
               static_cast<uint8_t>(v & 0xFF)};
}

}  // namespace morel_xy
