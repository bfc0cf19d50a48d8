#include "text_input.h"

#include <stdexcept>

namespace morel_xy {

bool SendText(const std::wstring&) {
  throw std::runtime_error("send_text is not available yet");
}

std::wstring Utf8ToWideUtf16(const std::string&) {
  throw std::runtime_error("send_text is not available yet");
}

namespace detail {
const std::unordered_map<std::wstring, KeyboardSpecialKey> STRING_TO_SPECIAL_KEY_MAP;
bool ParseSpecialKey(const std::wstring&, KeyboardSpecialKeyEvent&) {
  return false;
}
bool ParseText(const std::wstring&, std::vector<KeyboardEvent>&) {
  return false;
}
}  // namespace detail

}  // namespace morel_xy
