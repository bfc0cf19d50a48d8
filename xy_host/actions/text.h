#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "actions/key_table.h"
#include "desktop/desktop.h"

namespace morel_xy {

// Parses UTF-8 `text`, with its ${...} chords, and types it on `desktop`. False on a parse
// error or ill-formed UTF-8 anywhere (nothing is typed) or when the keyboard refuses an event
// (what was typed stays typed). Nothing is copied: the text may be many megabytes.
bool SendText(Desktop& desktop, std::string_view text);

namespace detail {

enum class KeyboardEventType : uint32_t { Text = 0, SpecialKey = 1 };

// One element of a parsed text: a run of characters or one chord. A run is a view into the
// parsed text and lives only as long as it.
struct KeyboardEvent {
  explicit KeyboardEvent(std::string_view run) : type(KeyboardEventType::Text), text(run) {}
  explicit KeyboardEvent(KeyboardSpecialKeyEvent chord)
      : type(KeyboardEventType::SpecialKey), specialKeyEvent(chord) {}

  KeyboardEventType type;
  std::string_view text;
  KeyboardSpecialKeyEvent specialKeyEvent;
};

// Parses the inside of one ${...}. True and `chord` filled on success.
bool ParseSpecialKey(std::string_view token, KeyboardSpecialKeyEvent& chord);

// Parses `text`, calling `onEvent` with each run and chord in order as it goes; nothing is
// kept. False on a malformed or unterminated chord (events before it have been delivered) or
// as soon as `onEvent` returns false.
bool ParseText(std::string_view text, const std::function<bool(const KeyboardEvent&)>& onEvent);

}  // namespace detail
}  // namespace morel_xy
