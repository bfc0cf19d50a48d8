#include "desktop/wlroots/logic/clipboard_paste.h"

namespace morel_xy::wlroots {

ClipboardContents ClipboardPaste::TextContents(const std::string& utf8) {
  ClipboardContents contents;
  for (const char* type :
       {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "TEXT", "STRING"}) {
    contents.formats.emplace_back(type, utf8);
  }
  return contents;
}

bool ClipboardPaste::Paste(const std::string& utf8, const std::function<bool()>& pressPaste) {
  if (m_restorePending) {
    m_restorePending = false;
    // Too late to keep the user's contents off: they are back, and may have changed since.
    if (!m_clipboard.CancelLater()) m_saved.reset();
  }
  if (!m_saved) {
    m_saved = m_clipboard.Read();
    if (!m_saved) return false;
  }
  if (m_lastTaken) {
    const Clock::time_point ready = *m_lastTaken + kHold;
    const Clock::time_point now = m_now();
    if (now < ready) m_sleep(ready - now);
  }
  if (!m_clipboard.Set(TextContents(utf8)) || !pressPaste() || !WaitUntilRead()) {
    RestoreNow();
    return false;
  }
  m_lastTaken = m_now();
  return true;
}

bool ClipboardPaste::WaitUntilRead() {
  std::optional<uint64_t> reads = m_clipboard.WaitForReads(0, kFirstRead);
  if (!reads || *reads == 0) return false;
  for (;;) {
    const std::chrono::milliseconds wait = m_reads.NextWait(*reads);
    if (wait.count() == 0) break;
    const std::optional<uint64_t> more = m_clipboard.WaitForReads(*reads, wait);
    if (!more) return false;
    if (*more == *reads) break;
    reads = more;
  }
  m_reads.Ended(*reads);
  return true;
}

bool ClipboardPaste::EndRun() {
  if (!m_saved || m_restorePending) return true;
  const Clock::time_point ready = (m_lastTaken ? *m_lastTaken : m_now()) + kHold;
  const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(ready - m_now()).count();
  m_restorePending = true;
  return m_clipboard.SetLater(*m_saved, std::chrono::milliseconds(delay > 0 ? delay : 0));
}

bool ClipboardPaste::RestoreNow() {
  if (!m_saved) return true;
  const ClipboardContents saved = std::move(*m_saved);
  m_saved.reset();
  if (m_restorePending) {
    m_restorePending = false;
    // Already back (and perhaps replaced by the user since): leave it.
    if (!m_clipboard.CancelLater()) return true;
  }
  return m_clipboard.Set(saved);
}

}  // namespace morel_xy::wlroots
