#include "desktop/wlroots/clipboard_paste.h"

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
  if (!saved_) {
    saved_ = clipboard_.Read();
    if (!saved_) return false;
  }
  if (!clipboard_.Set(TextContents(utf8)) || !pressPaste() || !clipboard_.WaitUntilTaken()) {
    Restore();
    return false;
  }
  return true;
}

bool ClipboardPaste::Restore() {
  if (!saved_) return true;
  const ClipboardContents saved = std::move(*saved_);
  saved_.reset();
  return clipboard_.Set(saved);
}

}  // namespace morel_xy::wlroots
