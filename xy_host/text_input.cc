#include "text_input.h"

#include <utf8.h>

#include <cctype>

#include "impl/keyboard.h"
#include "native_messaging/split_text.h"

namespace morel_xy {

std::wstring Utf8ToWideUtf16(const std::string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  auto it = text.begin();
  while (it != text.end()) {
    const uint32_t c = utf8::next(it, text.end());
    if (c < 0x10000) {
      wide.push_back(static_cast<wchar_t>(c));
    } else {
      wide.push_back(static_cast<wchar_t>(0xD7C0 + (c >> 10)));
      wide.push_back(static_cast<wchar_t>(0xDC00 | (c & 0x3FF)));
    }
  }
  return wide;
}

namespace detail {
namespace {

std::unordered_map<std::wstring, KeyboardSpecialKey> BuildStringToSpecialKeyMap() {
  using K = KeyboardSpecialKey;
  std::unordered_map<std::wstring, KeyboardSpecialKey> map = {
      {L"KEY_UP", K::Up},          {L"KEY_RIGHT", K::Right},
      {L"KEY_DOWN", K::Down},      {L"KEY_LEFT", K::Left},
      {L"KEY_PGUP", K::PageUp},    {L"KEY_PAGE_UP", K::PageUp},
      {L"KEY_PGDN", K::PageDown},  {L"KEY_PAGE_DOWN", K::PageDown},
      {L"KEY_BKSP", K::Backspace}, {L"KEY_BACKSPACE", K::Backspace},
      {L"KEY_DEL", K::Delete},     {L"KEY_DELETE", K::Delete},
      {L"KEY_ENTER", K::Enter},    {L"KEY_TAB", K::Tab},
      {L"KEY_ESC", K::Escape},     {L"KEY_ESCAPE", K::Escape},
      {L"KEY_HOME", K::Home},      {L"KEY_SPACE", K::Space},
      {L"KEY_END", K::End},        {L"KEY_COMMA", K::Comma},
      {L"KEY_PERIOD", K::Period},  {L"KEY_SEMICOLON", K::Semicolon},
      {L"KEY_MINUS", K::Minus},
  };
  for (uint32_t n = 1; n <= 15; ++n) {
    map.emplace(L"KEY_F" + std::to_wstring(n), static_cast<K>(14 + n));
  }
  // The keypad names are aliases of the top-row digits.
  for (uint32_t d = 0; d <= 9; ++d) {
    map.emplace(L"KEY_" + std::to_wstring(d), static_cast<K>(30 + d));
    map.emplace(L"KEY_NUM" + std::to_wstring(d), static_cast<K>(30 + d));
  }
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    map.emplace(std::wstring(L"KEY_") + letter, static_cast<K>(40 + (letter - L'A')));
  }
  return map;
}

struct ModifierName {
  const wchar_t* name;
  KeyboardModifierKeys bit;
};

// Checked in this order, before the key names.
constexpr ModifierName kModifierNames[] = {
    {L"KEY_CTRL", KeyboardModifierKeys::Ctrl},  {L"KEY_ALT", KeyboardModifierKeys::Alt},
    {L"KEY_OPTION", KeyboardModifierKeys::Alt}, {L"KEY_SHIFT", KeyboardModifierKeys::Shift},
    {L"KEY_META", KeyboardModifierKeys::Meta},  {L"KEY_WIN", KeyboardModifierKeys::Meta},
    {L"KEY_CMD", KeyboardModifierKeys::Meta},
};

// Upper-cases ASCII letters only, as the C locale's toupper does; everything else, whatever
// its value, is left alone (toupper is only defined for values of unsigned char).
wchar_t UpperAscii(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(std::toupper(static_cast<int>(c))) : c;
}

}  // namespace

const std::unordered_map<std::wstring, KeyboardSpecialKey> STRING_TO_SPECIAL_KEY_MAP =
    BuildStringToSpecialKeyMap();

bool ParseSpecialKey(const std::wstring& token, KeyboardSpecialKeyEvent& chord) {
  const std::vector<std::wstring> parts = morel::SplitText<wchar_t>(token, L'+');
  if (parts.empty()) return false;
  chord.modifiers = KeyboardModifierKeys::None;
  chord.key = KeyboardSpecialKey::None;

  for (const std::wstring& part : parts) {
    std::wstring name;
    name.reserve(part.size());
    for (wchar_t c : part) name.push_back(UpperAscii(c));

    bool isModifier = false;
    for (const ModifierName& modifier : kModifierNames) {
      if (name != modifier.name) continue;
      if (HasAny(chord.modifiers, modifier.bit)) return false;
      chord.modifiers = chord.modifiers | modifier.bit;
      isModifier = true;
      break;
    }
    if (isModifier) continue;

    if (chord.key != KeyboardSpecialKey::None) return false;
    const auto found = STRING_TO_SPECIAL_KEY_MAP.find(name);
    if (found == STRING_TO_SPECIAL_KEY_MAP.end()) return false;
    chord.key = found->second;
  }
  return true;
}

bool ParseText(const std::wstring& text, std::vector<KeyboardEvent>& events) {
  enum class State { Plain, AfterDollar, InKey };
  State state = State::Plain;
  size_t start = 0;

  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    switch (state) {
      case State::Plain:
        if (c == L'$') state = State::AfterDollar;
        break;
      case State::AfterDollar:
        // "$$" keeps both dollars as text: the second one does not open a chord of its own.
        state = State::Plain;
        if (c == L'{') {
          if (i - 1 > start) events.emplace_back(text.substr(start, i - 1 - start));
          start = i + 1;
          state = State::InKey;
        }
        break;
      case State::InKey:
        if (c == L'}') {
          KeyboardSpecialKeyEvent chord;
          if (!ParseSpecialKey(text.substr(start, i - start), chord)) return false;
          events.emplace_back(chord);
          start = i + 1;
          state = State::Plain;
        }
        break;
    }
  }
  if (state != State::Plain) return false;
  if (start < text.size()) events.emplace_back(text.substr(start));
  return true;
}

}  // namespace detail

bool SendText(const std::wstring& text) {
  // The whole text is parsed first, so a malformed chord anywhere types nothing at all.
  std::vector<detail::KeyboardEvent> events;
  if (!detail::ParseText(text, events)) return false;

  for (const detail::KeyboardEvent& event : events) {
    const bool ok = event.type == detail::KeyboardEventType::Text
                        ? impl::SendCharacterKeys(event.text)
                        : impl::SendSpecialKey(event.specialKeyEvent);
    if (!ok) return false;
  }
  return true;
}

}  // namespace morel_xy
