#include "actions/text.h"

#include <utf8.h>

#include <algorithm>
#include <vector>

#include "actions/keyboard.h"
#include "native_messaging/split_text.h"

namespace morel_xy {
namespace detail {
namespace {

// The modifier one of whose names is `name`; nullptr when none is.
const ModifierKey* ModifierNamed(std::string_view name) {
  for (const ModifierKey& modifier : MODIFIER_KEYS) {
    for (std::string_view alias : modifier.names) {
      if (!alias.empty() && alias == name) return &modifier;
    }
  }
  return nullptr;
}

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
    for (const ModifierKey& modifier : MODIFIER_KEYS) {
      size_t name = 0;
      for (std::string_view alias : modifier.names) name = std::max(name, alias.size());
      total += name;
    }
    size_t key = 0;
    for (const auto& entry : STRING_TO_SPECIAL_KEY_MAP) key = std::max(key, entry.first.size());
    const size_t pieces = std::size(MODIFIER_KEYS) + 1;
    return total + key + pieces;  // pieces - 1 separators and a trailing '+'
  }();
  return longest;
}

}  // namespace

bool ParseSpecialKey(std::string_view token, KeyboardSpecialKeyEvent& chord) {
  if (token.size() > LongestValidToken()) return false;
  const std::vector<std::string> parts = morel::SplitText<char>(std::string(token), '+');
  if (parts.empty()) return false;
  chord.modifiers = KeyboardModifierKeys::None;
  chord.key = KeyboardSpecialKey::None;

  for (std::string name : parts) {
    for (char& c : name) c = UpperAscii(c);

    const ModifierKey* modifier = ModifierNamed(name);
    if (modifier) {
      if (HasAny(chord.modifiers, modifier->bit)) return false;
      chord.modifiers = chord.modifiers | modifier->bit;
      continue;
    }

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
    return event.type == KeyboardEventType::Text ? SendCharacterKeys(desktop, event.text)
                                                 : SendSpecialKey(desktop, event.specialKeyEvent);
  });
}

}  // namespace morel_xy
