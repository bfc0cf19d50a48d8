#include "native_messaging/format.h"

#include <cstdio>

namespace morel::detail {

std::string Format(const char* format, const std::string& argument) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int length = std::snprintf(nullptr, 0, format, argument.c_str());
  if (length <= 0) return {};
  std::string result(static_cast<size_t>(length), '\0');
  std::snprintf(result.data(), result.size() + 1, format, argument.c_str());
#pragma GCC diagnostic pop
  return result;
}

}  // namespace morel::detail
