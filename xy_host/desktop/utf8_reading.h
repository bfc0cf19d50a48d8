#pragma once

#include <utf8.h>

#include <optional>
#include <string_view>

namespace morel_xy {

// The code point that starts at `it`, with `it` moved past it; nullopt, and `it` left where it
// was, at `end` or where the bytes start no valid character (the typed text was checked
// before typing began, so only a text cut short ends here). Through utfcpp's public interface,
// whose internals differ between its versions.
inline std::optional<char32_t> NextCodePoint(std::string_view::const_iterator& it,
                                             std::string_view::const_iterator end) {
  if (it == end) return std::nullopt;
  auto next = it;
  try {
    const char32_t codePoint = static_cast<char32_t>(utf8::next(next, end));
    it = next;
    return codePoint;
  } catch (const utf8::exception&) {
    return std::nullopt;
  }
}

}  // namespace morel_xy
