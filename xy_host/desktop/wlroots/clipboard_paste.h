#pragma once

#include <functional>
#include <optional>
#include <string>

#include "desktop/wlroots/wlroots_ports.h"

namespace morel_xy::wlroots {

// Types text through the clipboard and a paste key, for characters no key event can carry
// (browsers cut a key's character to 16 bits, so emoji come out wrong), and gives the user's
// clipboard back afterwards.
//
// The user's clipboard is read before the first paste of a run and put back by Restore(),
// which the owner calls when the run ends (the next character is typed another way, or the
// text ends). A clipboard that cannot be read is never replaced: the paste is refused, so the
// user loses nothing.
class ClipboardPaste {
 public:
  explicit ClipboardPaste(Clipboard& clipboard) : clipboard_(clipboard) {}
  ~ClipboardPaste() { Restore(); }
  ClipboardPaste(const ClipboardPaste&) = delete;
  ClipboardPaste& operator=(const ClipboardPaste&) = delete;

  // Puts `utf8` on the clipboard, calls `pressPaste` (the paste chord) and waits until the
  // focused client has taken the text. False when the clipboard could not be saved or set,
  // the chord failed, or no client took the text; the user's clipboard is back by then.
  bool Paste(const std::string& utf8, const std::function<bool()>& pressPaste);

  // Puts the saved contents back after a run of pastes; nothing to do outside a run. False
  // when the compositor refused them.
  bool Restore();

  bool inRun() const { return saved_.has_value(); }

  // The formats a pasted text is offered in: what browsers and toolkits ask for.
  static ClipboardContents TextContents(const std::string& utf8);

 private:
  Clipboard& clipboard_;
  std::optional<ClipboardContents> saved_;
};

}  // namespace morel_xy::wlroots
