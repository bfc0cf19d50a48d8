#include "desktop/wlroots/logic/paste_reads.h"

#include <algorithm>

namespace morel_xy::wlroots {

std::chrono::milliseconds PasteReads::NextWait(uint64_t reads) const {
  if (reads >= kMostReads) return std::chrono::milliseconds(0);
  return reads < m_expected ? kPatience : kQuiet;
}

void PasteReads::Ended(uint64_t reads) {
  m_expected = std::clamp<uint64_t>(reads, 1, kMostReads);
}

}  // namespace morel_xy::wlroots
