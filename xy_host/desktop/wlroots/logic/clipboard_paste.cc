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
  if (restorePending_) {
    restorePending_ = false;
    // Too late to keep the user's contents off: they are back, and may have changed since.
    if (!clipboard_.CancelLater()) saved_.reset();
  }
  if (!saved_) {
    saved_ = clipboard_.Read();
    if (!saved_) return false;
  }
  if (lastTaken_) {
    const Clock::time_point ready = *lastTaken_ + kHold;
    const Clock::time_point now = now_();
    if (now < ready) sleep_(ready - now);
  }
  if (!clipboard_.Set(TextContents(utf8)) || !pressPaste() || !WaitUntilRead()) {
    RestoreNow();
    return false;
  }
  lastTaken_ = now_();
  return true;
}

bool ClipboardPaste::WaitUntilRead() {
  std::optional<uint64_t> reads = clipboard_.WaitForReads(0, kFirstRead);
  if (!reads || *reads == 0) return false;
  for (;;) {
    const std::chrono::milliseconds wait = reads_.NextWait(*reads);
    if (wait.count() == 0) break;
    const std::optional<uint64_t> more = clipboard_.WaitForReads(*reads, wait);
    if (!more) return false;
    if (*more == *reads) break;
    reads = more;
  }
  reads_.Ended(*reads);
  return true;
}

bool ClipboardPaste::EndRun() {
  if (!saved_ || restorePending_) return true;
  const Clock::time_point ready = (lastTaken_ ? *lastTaken_ : now_()) + kHold;
  const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(ready - now_()).count();
  restorePending_ = true;
  return clipboard_.SetLater(*saved_, std::chrono::milliseconds(delay > 0 ? delay : 0));
}

bool ClipboardPaste::RestoreNow() {
  if (!saved_) return true;
  const ClipboardContents saved = std::move(*saved_);
  saved_.reset();
  if (restorePending_) {
    restorePending_ = false;
    // Already back (and perhaps replaced by the user since): leave it.
    if (!clipboard_.CancelLater()) return true;
  }
  return clipboard_.Set(saved);
}

}  // namespace morel_xy::wlroots
