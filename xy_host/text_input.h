#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "keyboard_types.h"

namespace morel_xy {

// Parses `text`, with its ${...} chords, and types it. False on a parse error (nothing is
// typed) or when the keyboard refuses an event (what was typed stays typed).
bool SendText(const std::wstring& text);

// Converts the UTF-8 "text" parameter into UTF-16 code units held in wchar_t elements.
// Throws utf8::exception on ill-formed input.
std::wstring Utf8ToWideUtf16(const std::string& text);

namespace detail {

enum class KeyboardEventType : uint32_t { Text = 0, SpecialKey = 1 };

// One element of a parsed text: a run of characters or one chord.
struct KeyboardEvent {
  explicit KeyboardEvent(std::wstring runText)
      : type(KeyboardEventType::Text), text(std::move(runText)) {}
  explicit KeyboardEvent(KeyboardSpecialKeyEvent chord)
      : type(KeyboardEventType::SpecialKey), specialKeyEvent(chord) {}

  KeyboardEventType type;
  std::wstring text;
  KeyboardSpecialKeyEvent specialKeyEvent;
};

// Key names of a chord (upper case), aliases included; modifiers are not in it.
extern const std::unordered_map<std::wstring, KeyboardSpecialKey> STRING_TO_SPECIAL_KEY_MAP;

// Parses the inside of one ${...}. True and `chord` filled on success.
bool ParseSpecialKey(const std::wstring& token, KeyboardSpecialKeyEvent& chord);

// Parses a whole text into events. False on a malformed or unterminated chord.
bool ParseText(const std::wstring& text, std::vector<KeyboardEvent>& events);

}  // namespace detail
}  // namespace morel_xy
