#include "desktop/wlroots/logic/wlroots_keyboard.h"

#include <utf8.h>

#include <vector>

#include "desktop/utf8_reading.h"

namespace morel_xy::wlroots {
namespace {

constexpr uint32_t kShiftCode = 42;
constexpr uint32_t kShiftRightCode = 54;
constexpr uint32_t kControlCode = 29;

// The next code point of `text` from `at`, advancing `at`; nullopt at the end or at a byte
// that starts no valid character (the text was checked before typing began: only a cut-short
// tail ends here).
std::optional<char32_t> NextCodePoint(std::string_view text, size_t& at) {
  auto it = text.begin() + static_cast<std::ptrdiff_t>(at);
  const std::optional<char32_t> codePoint = morel_xy::NextCodePoint(it, text.end());
  at = static_cast<size_t>(it - text.begin());
  return codePoint;
}

bool Pasted(char32_t c) {
  return c > 0xFFFF;
}

}  // namespace

WlrootsKeyboard::WlrootsKeyboard(KeyboardDevice& device, Clipboard* clipboard,
                                 std::function<void(std::chrono::nanoseconds)> sleep,
                                 std::function<Clock::time_point()> now)
    : m_device(device),
      m_paste(clipboard ? std::make_unique<ClipboardPaste>(*clipboard, sleep, now) : nullptr),
      m_sleep(std::move(sleep)),
      m_now(std::move(now)),
      m_slots(UsTextKeys()) {}

WlrootsKeyboard::~WlrootsKeyboard() {
  ReleaseEverything();
}

bool WlrootsKeyboard::Start() {
  return SendKeymap();
}

bool WlrootsKeyboard::SendKeymap() {
  std::optional<Keymap> keymap = BuildKeymap(FixedKeys(), m_slots.slots());
  if (!keymap || !m_device.SetKeymap(keymap->text)) return false;
  m_keymap = std::move(keymap);
  ++m_keymapsSent;
  // A new keymap may number the modifiers differently: report the held ones in its terms.
  if (!m_device.Modifiers(ModifierMask())) return false;
  if (m_keymapsSent > 1) m_sleep(kSettleTime);
  return true;
}

uint32_t WlrootsKeyboard::ModifierMask() const {
  if (!m_keymap) return 0;
  uint32_t mask = 0;
  for (const auto& [code, count] : m_heldCodes) {
    if (const std::optional<FixedKey> key = FixedKeyAt(code))
      mask |= m_keymap->MaskOf(key->modifier);
  }
  return mask;
}

bool WlrootsKeyboard::ShiftHeld() const {
  return m_heldCodes.count(kShiftCode) > 0 || m_heldCodes.count(kShiftRightCode) > 0;
}

bool WlrootsKeyboard::Key(uint32_t code, bool down) {
  if (!m_keymap) return false;
  if (down) {
    ++m_heldCodes[code];
  } else if (const auto found = m_heldCodes.find(code); found != m_heldCodes.end()) {
    if (--found->second <= 0) m_heldCodes.erase(found);
  }
  m_slots.MarkHeld(code, m_heldCodes.count(code) > 0, m_now());
  bool ok = m_device.Key(code, down);
  const std::optional<FixedKey> fixed = FixedKeyAt(code);
  if (fixed && fixed->modifier != Modifier::None) ok = m_device.Modifiers(ModifierMask()) && ok;
  return ok;
}

std::optional<KeyPlace> WlrootsKeyboard::KeyFor(Keysym keysym, std::string_view upcoming) {
  if (const std::optional<FixedKey> fixed = FixedKeyFor(keysym)) {
    return KeyPlace{fixed->code, false};
  }
  if (const std::optional<KeyPlace> place = m_slots.Find(keysym)) return place;
  // One keymap change for this character and as many of the coming ones as fit.
  std::vector<Keysym> wanted{keysym};
  size_t at = 0;
  const size_t lookAhead = 2 * m_slots.slots().size();
  while (wanted.size() < lookAhead) {
    const std::optional<char32_t> next = NextCodePoint(upcoming, at);
    if (!next) break;
    const Keysym nextKeysym = KeysymForCodePoint(*next);
    if (nextKeysym == keysym::kNoSymbol || Pasted(*next) || FixedKeyFor(nextKeysym)) continue;
    wanted.push_back(nextKeysym);
  }
  bool changed = false;
  if (!m_slots.Place(wanted, m_now(), changed)) return std::nullopt;
  if (changed && !SendKeymap()) return std::nullopt;
  return m_slots.Find(keysym);
}

bool WlrootsKeyboard::PressKey(Keysym keysym, bool down) {
  m_pastedAhead.clear();
  if (m_paste && !m_paste->EndRun()) return false;
  return PressKeyWithinRun(keysym, down);
}

bool WlrootsKeyboard::PressKeyWithinRun(Keysym keysym, bool down) {
  if (!m_keymap) return false;
  if (!down) {
    const auto held = m_heldKeysyms.find(keysym);
    if (held != m_heldKeysyms.end()) {
      const uint32_t code = held->second;
      m_heldKeysyms.erase(held);
      return Key(code, false);
    }
    // Not pressed through this object: release the key the keymap has for it, if any.
    if (const std::optional<FixedKey> fixed = FixedKeyFor(keysym)) return Key(fixed->code, false);
    const std::optional<KeyPlace> place = m_slots.Find(keysym);
    return place && Key(place->code, false);
  }
  const std::optional<KeyPlace> place = KeyFor(keysym, {});
  if (!place) return false;
  m_heldKeysyms[keysym] = place->code;
  return Key(place->code, true);
}

bool WlrootsKeyboard::PasteRun(char32_t character, std::string_view upcoming) {
  if (!m_paste) return false;
  std::u32string run(1, character);
  constexpr size_t kMaxRun = 256;
  size_t at = 0;
  while (run.size() < kMaxRun) {
    const std::optional<char32_t> next = NextCodePoint(upcoming, at);
    if (!next || !Pasted(*next)) break;
    run += *next;
  }
  std::string text;
  for (char32_t c : run) utf8::append(c, text);
  const auto pressPaste = [this] {
    bool ok = Key(kControlCode, true);
    ok = ok && PressKeyWithinRun('v', true);
    ok = PressKeyWithinRun('v', false) && ok;
    return Key(kControlCode, false) && ok;
  };
  const bool ok = m_paste->Paste(text, pressPaste) && m_paste->EndRun();
  if (ok) m_pastedAhead = run.substr(1);
  return ok;
}

bool WlrootsKeyboard::TypeCharacter(char32_t character, std::string_view upcoming) {
  if (!m_keymap) return false;
  if (!m_pastedAhead.empty()) {
    // Pasted with the character before it.
    if (m_pastedAhead.front() == character) {
      m_pastedAhead.erase(0, 1);
      return true;
    }
    m_pastedAhead.clear();
  }
  if (Pasted(character) && character <= 0x10FFFF) return PasteRun(character, upcoming);
  if (m_paste && !m_paste->EndRun()) return false;
  const Keysym keysym = KeysymForCodePoint(character);
  if (keysym == keysym::kNoSymbol) return false;
  const std::optional<KeyPlace> place = KeyFor(keysym, upcoming);
  if (!place) return false;
  const bool addShift = place->shift && !ShiftHeld();
  bool ok = true;
  if (addShift) ok = Key(kShiftCode, true);
  ok = ok && Key(place->code, true);
  ok = Key(place->code, false) && ok;
  if (addShift) ok = Key(kShiftCode, false) && ok;
  return ok;
}

void WlrootsKeyboard::ReleaseEverything() {
  if (m_keymap) {
    // Non-modifier keys first, as a hand lifts them: a modifier let go first would turn the
    // last key's release into a different key for the client.
    std::vector<uint32_t> codes;
    for (const auto& [code, count] : m_heldCodes) codes.push_back(code);
    for (int pass = 0; pass < 2; ++pass) {
      for (uint32_t code : codes) {
        const std::optional<FixedKey> fixed = FixedKeyAt(code);
        const bool isModifier = fixed && fixed->modifier != Modifier::None;
        if (isModifier == (pass == 1)) {
          m_heldCodes.erase(code);
          m_device.Key(code, false);
          m_slots.MarkHeld(code, false, m_now());
        }
      }
    }
    m_device.Modifiers(0);
  }
  m_heldCodes.clear();
  m_heldKeysyms.clear();
  m_pastedAhead.clear();
  if (m_paste) m_paste->RestoreNow();
}

}  // namespace morel_xy::wlroots
