#include "desktop/wlroots/logic/paste_reads.h"

#include <algorithm>

namespace morel_xy::wlroots {

std::chrono::milliseconds PasteReads::NextWait(uint64_t reads) const {
  if (reads >= kMostReads) return std::chrono::milliseconds(0);
  return reads < expected_ ? kPatience : kQuiet;
}

void PasteReads::Ended(uint64_t reads) {
  expected_ = std::clamp<uint64_t>(reads, 1, kMostReads);
}

}  // namespace morel_xy::wlroots
