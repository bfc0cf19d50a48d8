#pragma once

#include <chrono>
#include <cstdint>

namespace morel_xy::wlroots {

// When a pasted selection counts as taken, from how often the pasting client has read it.
//
// Chromium reads a selection twice for one Ctrl+V: once as soon as the browser gets the key,
// and again when the page pastes, which is what the page gets. The page pastes when its renderer
// reaches the key, behind every key sent before it: while typing runs ahead of the page that
// can be most of a second after the first read. A selection given back before the second read
// makes the page paste the user's clipboard (or nothing) in place of the text. Other clients
// may read once. So a read the client is known to make is waited for long, one it may not make
// briefly, and what the client does is learnt from its last paste.
class PasteReads {
 public:
  // No client is waited for beyond this many reads of one paste.
  static constexpr uint64_t kMostReads = 2;
  // How long a read the client made in its last paste is waited for.
  static constexpr std::chrono::milliseconds kPatience{3000};
  // How long a read it did not make then is waited for.
  static constexpr std::chrono::milliseconds kQuiet{300};

  // How long to wait for one more read once `reads` (at least one) have come; zero when no
  // more is wanted.
  std::chrono::milliseconds NextWait(uint64_t reads) const;
  // The paste is over, read `reads` (at least one) times: the next one is expected to be read
  // as often.
  void Ended(uint64_t reads);

 private:
  // Until a paste has shown otherwise, a client is expected to read as Chromium does.
  uint64_t m_expected = kMostReads;
};

}  // namespace morel_xy::wlroots
