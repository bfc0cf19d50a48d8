#include "native_messaging/frame_body.h"

#include <algorithm>
#include <cstring>

namespace morel {

void FrameBody::SkipByteOrderMark() {
  if (AtEnd()) return;
  if (m_filled - m_next >= 3 && std::memcmp(m_buffer + m_next, "\xEF\xBB\xBF", 3) == 0) {
    m_next += 3;
  }
}

void FrameBody::SkipRest() {
  m_next = m_filled;
  while (Refill()) m_next = m_filled;
}

bool FrameBody::Refill() {
  if (m_unread == 0) return false;
  const size_t want = std::min<size_t>(m_unread, kBufferSize);
  const size_t got = std::fread(m_buffer, 1, want, m_in);
  m_next = 0;
  m_filled = got;
  m_unread -= static_cast<uint32_t>(got);
  if (got < want) {
    // End of input (or a read error) inside the body: nothing more will come.
    m_truncated = true;
    m_unread = 0;
  }
  return got > 0;
}

}  // namespace morel
