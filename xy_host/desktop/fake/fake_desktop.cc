#include "desktop/fake/fake_desktop.h"

#include <algorithm>
#include <cstring>

namespace morel_xy {

std::optional<CapturedImage> FakeDesktop::CaptureDisplayArea(uint32_t displayNumber,
                                                             const PixelRect& area) {
  captures.push_back(CaptureCall{displayNumber, area});
  auto it = displayImages.find(displayNumber);
  if (it == displayImages.end()) return std::nullopt;
  const CapturedImage& whole = it->second;
  const int64_t left = std::max<int64_t>(area.x, 0);
  const int64_t top = std::max<int64_t>(area.y, 0);
  const int64_t right = std::min<int64_t>(area.x + area.width, whole.width);
  const int64_t bottom = std::min<int64_t>(area.y + area.height, whole.height);
  if (right <= left || bottom <= top) return std::nullopt;

  CapturedImage part;
  part.width = static_cast<int32_t>(right - left);
  part.height = static_cast<int32_t>(bottom - top);
  part.bytesPerRow = static_cast<size_t>(part.width) * 4;
  part.area = PixelRect{left, top, right - left, bottom - top};
  part.bgrx.resize(part.bytesPerRow * static_cast<size_t>(part.height));
  for (int64_t row = 0; row < part.height; ++row) {
    const uint8_t* from = whole.bgrx.data() + static_cast<size_t>(top + row) * whole.bytesPerRow +
                          static_cast<size_t>(left) * 4;
    std::memcpy(part.bgrx.data() + static_cast<size_t>(row) * part.bytesPerRow, from,
                part.bytesPerRow);
  }
  return part;
}

}  // namespace morel_xy
