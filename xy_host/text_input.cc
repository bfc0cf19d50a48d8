#include "text_input.h"

#include <utf8.h>

#include <algorithm>
#include <vector>

#include "impl/keyboard.h"
#include "native_messaging/split_text.h"

namespace morel_xy {
namespace detail {
namespace {

std::unordered_map<std::string, KeyboardSpecialKey> BuildStringToSpecialKeyMap() {
  using K = KeyboardSpecialKey;
  std::unordered_map<std::string, KeyboardSpecialKey> map = {
      {"KEY_UP", K::Up},          {"KEY_RIGHT", K::Right},
      {"KEY_DOWN", K::Down},      {"KEY_LEFT", K::Left},
      {"KEY_PGUP", K::PageUp},    {"KEY_PAGE_UP", K::PageUp},
      {"KEY_PGDN", K::PageDown},  {"KEY_PAGE_DOWN", K::PageDown},
      {"KEY_BKSP", K::Backspace}, {"KEY_BACKSPACE", K::Backspace},
      {"KEY_DEL", K::Delete},     {"KEY_DELETE", K::Delete},
      {"KEY_ENTER", K::Enter},    {"KEY_TAB", K::Tab},
      {"KEY_ESC", K::Escape},     {"KEY_ESCAPE", K::Escape},
      {"KEY_HOME", K::Home},      {"KEY_SPACE", K::Space},
      {"KEY_END", K::End},        {"KEY_COMMA", K::Comma},
      {"KEY_PERIOD", K::Period},  {"KEY_SEMICOLON", K::Semicolon},
      {"KEY_MINUS", K::Minus},
  };
  for (uint32_t n = 1; n <= 15; ++n) {
    map.emplace("KEY_F" + std::to_string(n), static_cast<K>(14 + n));
  }
  // The keypad names are aliases of the top-row digits.
  for (uint32_t d = 0; d <= 9; ++d) {
    map.emplace("KEY_" + std::to_string(d), static_cast<K>(30 + d));
    map.emplace("KEY_NUM" + std::to_string(d), static_cast<K>(30 + d));
  }
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    map.emplace(std::string("KEY_") + letter, static_cast<K>(40 + (letter - 'A')));
  }
  return map;
}

struct ModifierName {
  std::string_view name;
  KeyboardModifierKeys bit;
};

// Checked in this order, before the key names.
constexpr ModifierName kModifierNames[] = {
    {"KEY_CTRL", KeyboardModifierKeys::Ctrl},  {"KEY_ALT", KeyboardModifierKeys::Alt},
    {"KEY_OPTION", KeyboardModifierKeys::Alt}, {"KEY_SHIFT", KeyboardModifierKeys::Shift},
    {"KEY_META", KeyboardModifierKeys::Meta},  {"KEY_WIN", KeyboardModifierKeys::Meta},
    {"KEY_CMD", KeyboardModifierKeys::Meta},
};

constexpr KeyboardModifierKeys kModifierBits[] = {
    KeyboardModifierKeys::Ctrl, KeyboardModifierKeys::Alt, KeyboardModifierKeys::Shift,
    KeyboardModifierKeys::Meta};

// Upper-cases ASCII letters only: bytes of multibyte characters are left alone, so a name
// with any of them never matches.
char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The longest token that can parse: each modifier bit once under its longest name, one key
// name, a '+' between each two and the one trailing '+' that adds no piece. A longer token
// fails whatever it holds, so it is refused before it is copied and split: a text can hold a
// "${" of many megabytes.
size_t LongestValidToken() {
  static const size_t longest = [] {
    size_t total = 0;
    for (const KeyboardModifierKeys bit : kModifierBits) {
      size_t name = 0;
      for (const ModifierName& modifier : kModifierNames) {
        if (modifier.bit == bit) name = std::max(name, modifier.name.size());
      }
      total += name;
    }
    size_t key = 0;
    for (const auto& entry : STRING_TO_SPECIAL_KEY_MAP) key = std::max(key, entry.first.size());
    const size_t pieces = std::size(kModifierBits) + 1;
    return total + key + pieces;  // pieces - 1 separators and a trailing '+'
  }();
  return longest;
}

}  // namespace

const std::unordered_map<std::string, KeyboardSpecialKey> STRING_TO_SPECIAL_KEY_MAP =
    BuildStringToSpecialKeyMap();

bool ParseSpecialKey(std::string_view token, KeyboardSpecialKeyEvent& chord) {
  if (token.size() > LongestValidToken()) return false;
  const std::vector<std::string> parts = morel::SplitText<char>(std::string(token), '+');
  if (parts.empty()) return false;
  chord.modifiers = KeyboardModifierKeys::None;
  chord.key = KeyboardSpecialKey::None;

  for (std::string name : parts) {
    for (char& c : name) c = UpperAscii(c);

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

// The text is scanned byte by byte: '$', '{' and '}' are ASCII, and in UTF-8 no byte of a
// multibyte character is ASCII, so a run boundary never falls inside a character.
bool ParseText(std::string_view text, const std::function<bool(const KeyboardEvent&)>& onEvent) {
  enum class State { Plain, AfterDollar, InKey };
  State state = State::Plain;
  size_t start = 0;

  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (state) {
      case State::Plain:
        if (c == '$') state = State::AfterDollar;
        break;
      case State::AfterDollar:
        // "$$" keeps both dollars as text: the second one does not open a chord of its own.
        state = State::Plain;
        if (c == '{') {
          if (i - 1 > start && !onEvent(KeyboardEvent(text.substr(start, i - 1 - start)))) {
            return false;
          }
          start = i + 1;
          state = State::InKey;
        }
        break;
      case State::InKey:
        if (c == '}') {
          KeyboardSpecialKeyEvent chord;
          if (!ParseSpecialKey(text.substr(start, i - start), chord)) return false;
          if (!onEvent(KeyboardEvent(chord))) return false;
          start = i + 1;
          state = State::Plain;
        }
        break;
    }
  }
  if (state != State::Plain) return false;
  if (start < text.size()) return onEvent(KeyboardEvent(text.substr(start)));
  return true;
}

}  // namespace detail

bool SendText(Desktop& desktop, std::string_view text) {
  using detail::KeyboardEvent;
  using detail::KeyboardEventType;
  // Two passes over the same text instead of a list of its events, so the memory used does not
  // grow with the text. The first only checks, so a fault anywhere, even in the last byte,
  // types nothing; the second types. A valid chord is ASCII, so the runs of a text that parses
  // are well-formed UTF-8 exactly when the whole text is.
  if (!utf8::is_valid(text.begin(), text.end())) return false;
  if (!detail::ParseText(text, [](const KeyboardEvent&) { return true; })) return false;

  return detail::ParseText(text, [&desktop](const KeyboardEvent& event) {
    return event.type == KeyboardEventType::Text
               ? impl::SendCharacterKeys(desktop, event.text)
               : impl::SendSpecialKey(desktop, event.specialKeyEvent);
  });
}

}  // namespace morel_xy
