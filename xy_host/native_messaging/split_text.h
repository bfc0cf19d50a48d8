#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace morel {

// Splits `text` at `delimiter` the way reading lines from a stream does: an empty text gives
// no pieces, empty pieces between delimiters are kept, a trailing delimiter adds none.
template <typename CharT>
std::vector<std::basic_string<CharT>> SplitText(const std::basic_string<CharT>& text,
                                                CharT delimiter) {
  std::vector<std::basic_string<CharT>> pieces;
  std::basic_istringstream<CharT> stream(text);
  std::basic_string<CharT> piece;
  while (std::getline(stream, piece, delimiter)) pieces.push_back(piece);
  return pieces;
}

}  // namespace morel
