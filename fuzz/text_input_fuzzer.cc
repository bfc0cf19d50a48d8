// send_text's parsing against a plain reading of its rules, and its typing against a
// FakeDesktop: the input is UTF-16 code units (two bytes each, any value, lone surrogates
// included). ParseText must agree with the reference event for event; SendText must type
// nothing when parsing fails; and the "text" parameter's UTF-8 conversion must round-trip.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "desktop/fake/fake_desktop.h"
#include "fuzz_check.h"
#include "impl/desktop_access.h"
#include "impl/input_setup.h"
#include "text_input.h"

namespace {

using morel_xy::KeyboardModifierKeys;
using morel_xy::KeyboardSpecialKey;
using morel_xy::KeyboardSpecialKeyEvent;
using morel_xy::detail::KeyboardEvent;
using morel_xy::detail::KeyboardEventType;

// Pieces a line-by-line read of `text` with `delimiter` as line end gives.
std::vector<std::wstring> ReferenceSplit(const std::wstring& text, wchar_t delimiter) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(delimiter, start);
    if (end == std::wstring::npos) {
      pieces.push_back(text.substr(start));
      break;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

bool ReferenceParseChord(const std::wstring& token, KeyboardSpecialKeyEvent& chord) {
  const std::vector<std::wstring> parts = ReferenceSplit(token, L'+');
  if (parts.empty()) return false;
  chord = {};
  for (std::wstring part : parts) {
    for (wchar_t& c : part) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    KeyboardModifierKeys bit = KeyboardModifierKeys::None;
    if (part == L"KEY_CTRL") bit = KeyboardModifierKeys::Ctrl;
    if (part == L"KEY_ALT" || part == L"KEY_OPTION") bit = KeyboardModifierKeys::Alt;
    if (part == L"KEY_SHIFT") bit = KeyboardModifierKeys::Shift;
    if (part == L"KEY_META" || part == L"KEY_WIN" || part == L"KEY_CMD")
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
  std::wstring text;
  KeyboardSpecialKeyEvent key;
};

bool ReferenceParse(const std::wstring& text, std::vector<RefEvent>& events) {
  enum { Plain, AfterDollar, InKey } state = Plain;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (state == Plain) {
      if (c == L'$') state = AfterDollar;
    } else if (state == AfterDollar) {
      state = Plain;
      if (c == L'{') {
        if (i - 1 > start) events.push_back({false, text.substr(start, i - 1 - start), {}});
        start = i + 1;
        state = InKey;
      }
    } else if (c == L'}') {
      KeyboardSpecialKeyEvent chord;
      if (!ReferenceParseChord(text.substr(start, i - start), chord)) return false;
      events.push_back({true, L"", chord});
      start = i + 1;
      state = Plain;
    }
  }
  if (state != Plain) return false;
  if (start < text.size()) events.push_back({false, text.substr(start), {}});
  return true;
}

std::string EncodeUtf8(const std::wstring& units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(units[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(units[++i]) - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool HasLoneSurrogate(const std::wstring& units) {
  for (size_t i = 0; i < units.size(); ++i) {
    const auto c = static_cast<uint32_t>(units[i]);
    if (c >= 0xD800 && c < 0xDC00) {
      if (i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
        ++i;
        continue;
      }
      return true;
    }
    if (c >= 0xDC00 && c < 0xE000) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }

  std::vector<KeyboardEvent> events;
  const bool parsed = morel_xy::detail::ParseText(text, events);
  std::vector<RefEvent> expected;
  const bool refParsed = ReferenceParse(text, expected);
  FUZZ_CHECK(parsed == refParsed, "ParseText and the reference disagree on success");
  if (parsed) {
    FUZZ_CHECK(events.size() == expected.size(), "ParseText gives a different event count");
    for (size_t i = 0; i < events.size(); ++i) {
      if (expected[i].chord) {
        FUZZ_CHECK(events[i].type == KeyboardEventType::SpecialKey, "expected a chord");
        FUZZ_CHECK(events[i].specialKeyEvent == expected[i].key, "a chord differs");
      } else {
        FUZZ_CHECK(events[i].type == KeyboardEventType::Text, "expected a text run");
        FUZZ_CHECK(events[i].text == expected[i].text, "a text run differs");
      }
    }
  }

  // Typing: nothing at all reaches the keyboard when the text does not parse.
  morel_xy::FakeDesktop desktop;
  morel_xy::impl::SetDesktop(&desktop);
  morel_xy::impl::Init();
  const bool typed = morel_xy::SendText(text);
  morel_xy::impl::SetDesktop(nullptr);
  if (!parsed) {
    FUZZ_CHECK(!typed, "SendText succeeded on a text that does not parse");
    FUZZ_CHECK(desktop.CallsOf<morel_xy::PostedKeyEvent>().empty() &&
                   desktop.CallsOf<morel_xy::PostedUnicodeKeyEvent>().empty(),
               "a text that does not parse typed something");
  }

  // The "text" parameter's conversion: well-formed UTF-8 converts back to the same units.
  if (!HasLoneSurrogate(text)) {
    const std::string utf8 = EncodeUtf8(text);
    FUZZ_CHECK(morel_xy::Utf8ToWideUtf16(utf8) == text, "UTF-8 to UTF-16 does not round-trip");
  }
  // Arbitrary bytes: either a clean conversion or the decoder's exception, never a crash.
  try {
    (void)morel_xy::Utf8ToWideUtf16(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const std::exception&) {
  }
  return 0;
}
