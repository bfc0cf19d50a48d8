#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "desktop/wlroots/logic/paste_reads.h"
#include "desktop/wlroots/logic/wlroots_ports.h"

namespace morel_xy::wlroots {

// Types text through the clipboard and a paste key, for characters no key event can carry
// (browsers cut a key's character to 16 bits, so emoji come out wrong), and gives the user's
// clipboard back afterwards.
//
// The user's clipboard is read before the first paste of a run and given back kHold after the
// run's last paste was taken: a browser reads the pasted text after it has asked for it, in a
// task of its own, and drops it when the selection changes first. For the same reason the next
// paste waits until kHold has passed since the one before. A clipboard that cannot be read is
// never replaced: the paste is refused, so the user loses nothing.
class ClipboardPaste {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kHold{150};
  // How long the client has to ask for a paste at all.
  static constexpr std::chrono::milliseconds kFirstRead{2000};

  ClipboardPaste(Clipboard& clipboard, std::function<void(std::chrono::nanoseconds)> sleep,
                 std::function<Clock::time_point()> now = Clock::now)
      : m_clipboard(clipboard), m_sleep(std::move(sleep)), m_now(std::move(now)) {}
  // Gives the user's clipboard back at once if that is still to come.
  ~ClipboardPaste() { RestoreNow(); }
  ClipboardPaste(const ClipboardPaste&) = delete;
  ClipboardPaste& operator=(const ClipboardPaste&) = delete;

  // Puts `utf8` on the clipboard, calls `pressPaste` (the paste chord) and waits until the
  // focused client has taken the text. False when the clipboard could not be saved or set,
  // the chord failed, or no client took the text; the user's clipboard is back by then.
  bool Paste(const std::string& utf8, const std::function<bool()>& pressPaste);

  // Ends a run of pastes: the user's clipboard comes back kHold after the last paste was taken,
  // in the background. Nothing to do outside a run.
  bool EndRun();
  // Gives the user's clipboard back now, if that is still to come. False when the compositor
  // refused it.
  bool RestoreNow();

  bool inRun() const { return m_saved.has_value() && !m_restorePending; }

  // The formats a pasted text is offered in: what browsers and toolkits ask for.
  static ClipboardContents TextContents(const std::string& utf8);

 private:
  // Waits until the client has read the paste as often as it does for one paste. False when
  // it does not read it at all, or the compositor is gone.
  bool WaitUntilRead();

  Clipboard& m_clipboard;
  std::function<void(std::chrono::nanoseconds)> m_sleep;
  std::function<Clock::time_point()> m_now;
  // The user's contents, while the clipboard holds a paste or their return is pending.
  std::optional<ClipboardContents> m_saved;
  bool m_restorePending = false;
  std::optional<Clock::time_point> m_lastTaken;
  PasteReads m_reads;
};

}  // namespace morel_xy::wlroots
