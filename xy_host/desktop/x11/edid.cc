#include "desktop/x11/edid.h"

namespace morel_xy::x11 {

std::string EdidProductName(const std::vector<uint8_t>& edid) {
  static constexpr uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  if (edid.size() < 128) return "";
  for (int i = 0; i < 8; ++i) {
    if (edid[i] != kHeader[i]) return "";
  }
  // Four 18-byte descriptors; a display descriptor starts with three zero bytes, then its tag.
  for (size_t at : {54u, 72u, 90u, 108u}) {
    if (edid[at] != 0 || edid[at + 1] != 0 || edid[at + 2] != 0 || edid[at + 3] != 0xFC) {
      continue;
    }
    std::string name;
    for (size_t i = at + 5; i < at + 18 && edid[i] != 0x0A; ++i) {
      // Printable ASCII only (the field is code page 437 text); anything else ends the name.
      if (edid[i] < 0x20 || edid[i] > 0x7E) break;
      name.push_back(static_cast<char>(edid[i]));
    }
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
  }
  return "";
}

}  // namespace morel_xy::x11
