// send_text's parsing against a plain reading of its rules, and its typing against a
// FakeDesktop: the input is the UTF-8 text as bytes, ill-formed sequences included.
// ParseText must agree with the reference event for event; SendText must type nothing when the
// text does not parse or is not well-formed UTF-8, and otherwise type exactly the characters of
// its runs, one each, and one key per chord with its modifiers around it, leaving nothing held.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "actions/text.h"
#include "desktop/fake/fake_desktop.h"
#include "fuzz_check.h"

namespace {

using morel_xy::KeyboardModifierKeys;
using morel_xy::KeyboardSpecialKey;
using morel_xy::KeyboardSpecialKeyEvent;
using morel_xy::detail::KeyboardEvent;
using morel_xy::detail::KeyboardEventType;

// Pieces a line-by-line read of `text` with `delimiter` as line end gives.
std::vector<std::string> ReferenceSplit(const std::string& text, char delimiter) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(delimiter, start);
    if (end == std::string::npos) {
      pieces.push_back(text.substr(start));
      break;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

bool ReferenceParseChord(const std::string& token, KeyboardSpecialKeyEvent& chord) {
  const std::vector<std::string> parts = ReferenceSplit(token, '+');
  if (parts.empty()) return false;
  chord = {};
  for (std::string part : parts) {
    for (char& c : part) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    KeyboardModifierKeys bit = KeyboardModifierKeys::None;
    if (part == "KEY_CTRL") bit = KeyboardModifierKeys::Ctrl;
    if (part == "KEY_ALT" || part == "KEY_OPTION") bit = KeyboardModifierKeys::Alt;
    if (part == "KEY_SHIFT") bit = KeyboardModifierKeys::Shift;
    if (part == "KEY_META" || part == "KEY_WIN" || part == "KEY_CMD")
      bit = KeyboardModifierKeys::Meta;
    if (bit != KeyboardModifierKeys::None) {
      if (morel_xy::HasAny(chord.modifiers, bit)) return false;
      chord.modifiers = chord.modifiers | bit;
      continue;
    }
    if (chord.key != KeyboardSpecialKey::None) return false;
    const auto& names = morel_xy::detail::STRING_TO_SPECIAL_KEY_MAP;
    const auto found = names.find(part);
    if (found == names.end()) return false;
    chord.key = found->second;
  }
  return true;
}

struct RefEvent {
  bool chord;
  std::string text;
  KeyboardSpecialKeyEvent key;
};

// The rules read another way than the parser's state machine: dollars pair up, so a '{' opens
// a chord only after an odd run of dollars (counted from the start of the text or the end of
// the last chord), the chord ends at the first '}' after it, and a text that ends in an odd run
// of dollars is unfinished.
bool ReferenceParse(const std::string& text, std::vector<RefEvent>& events) {
  size_t start = 0;    // where the current run of text begins
  size_t dollars = 0;  // length of the run of '$' just before position i
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '$') {
      ++dollars;
      continue;
    }
    if (text[i] == '{' && dollars % 2 == 1) {
      const size_t close = text.find('}', i + 1);
      if (close == std::string::npos) return false;
      const size_t opener = i - 1;  // the dollar that opens the chord
      if (opener > start) events.push_back({false, text.substr(start, opener - start), {}});
      KeyboardSpecialKeyEvent chord;
      if (!ReferenceParseChord(text.substr(i + 1, close - i - 1), chord)) return false;
      events.push_back({true, "", chord});
      start = close + 1;
      i = close;
    }
    dollars = 0;
  }
  if (dollars % 2 == 1) return false;
  if (start < text.size()) events.push_back({false, text.substr(start), {}});
  return true;
}

// Decodes UTF-8 into UTF-16 by the letter of the encoding's rules (shortest form only, no
// surrogates, nothing above U+10FFFF); nothing when any byte breaks them.
std::optional<std::u16string> ReferenceUtf16(std::string_view utf8) {
  std::u16string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<uint8_t>(utf8[i]);
    // The sequence length, the lead's payload bits and the smallest value needing that length.
    size_t length = 1;
    uint32_t c = lead;
    uint32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2;
      c = lead & 0x1F;
      smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      c = lead & 0x0F;
      smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      c = lead & 0x07;
      smallest = 0x10000;
    } else if (lead >= 0x80) {
      return std::nullopt;
    }
    if (i + length > utf8.size()) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return std::nullopt;
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
    i += length;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::vector<RefEvent> events;
  const bool parsed = morel_xy::detail::ParseText(text, [&](const KeyboardEvent& event) {
    if (event.type == KeyboardEventType::Text) {
      FUZZ_CHECK(!event.text.empty(), "an empty text run");
      FUZZ_CHECK(event.text.data() >= text.data() &&
                     event.text.data() + event.text.size() <= text.data() + text.size(),
                 "a text run is not a view into the text");
      events.push_back({false, std::string(event.text), {}});
    } else {
      events.push_back({true, "", event.specialKeyEvent});
    }
    return true;
  });
  std::vector<RefEvent> expected;
  const bool refParsed = ReferenceParse(text, expected);
  FUZZ_CHECK(parsed == refParsed, "ParseText and the reference disagree on success");
  if (parsed) {
    FUZZ_CHECK(events.size() == expected.size(), "ParseText gives a different event count");
    for (size_t i = 0; i < events.size(); ++i) {
      FUZZ_CHECK(events[i].chord == expected[i].chord, "a run and a chord are swapped");
      FUZZ_CHECK(events[i].text == expected[i].text, "a text run differs");
      FUZZ_CHECK(!expected[i].chord || events[i].key == expected[i].key, "a chord differs");
    }
  }

  // Typing. A chord with a key is a press and release of the key and of each modifier around
  // it; the runs, well-formed, are their characters.
  std::u16string runUnits;
  size_t chordKeys = 0;
  bool wellFormed = true;
  for (const RefEvent& event : expected) {
    if (event.chord) {
      if (event.key.key != KeyboardSpecialKey::None) {
        chordKeys += 1 + std::popcount(static_cast<uint32_t>(event.key.modifiers));
      }
      continue;
    }
    const std::optional<std::u16string> units = ReferenceUtf16(event.text);
    if (!units) wellFormed = false;
    if (units) runUnits += *units;
  }
  const bool typable = refParsed && wellFormed;

  morel_xy::FakeDesktop desktop;
  const bool typed = morel_xy::SendText(desktop, text);
  const auto keys = desktop.CallsOf<morel_xy::KeyPress>();
  const auto characters = desktop.CallsOf<morel_xy::TypedCharacter>();
  if (!typable) {
    FUZZ_CHECK(!typed, "SendText succeeded on a text that does not parse or is ill-formed");
    FUZZ_CHECK(keys.empty() && characters.empty(), "a text that cannot be typed typed something");
    return 0;
  }
  FUZZ_CHECK(typed, "SendText failed on a text that parses, with a keyboard that never refuses");
  FUZZ_CHECK(keys.size() == 2 * chordKeys, "chords typed a different number of keys");
  std::multiset<morel_xy::Keysym> held;
  for (const morel_xy::KeyPress& key : keys) {
    if (key.down) {
      held.insert(key.keysym);
    } else {
      const auto found = held.find(key.keysym);
      FUZZ_CHECK(found != held.end(), "a key released that was not pressed");
      held.erase(found);
    }
  }
  FUZZ_CHECK(held.empty(), "a key is left pressed");
  std::u16string typedUnits;
  for (const morel_xy::TypedCharacter& typedCharacter : characters) {
    const char32_t c = typedCharacter.character;
    FUZZ_CHECK(c <= 0x10FFFF && !(c >= 0xD800 && c < 0xE000), "not a character");
    if (c >= 0x10000) {
      typedUnits += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      typedUnits += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      typedUnits += static_cast<char16_t>(c);
    }
  }
  FUZZ_CHECK(typedUnits == runUnits, "the typed characters are not the text runs");
  return 0;
}
