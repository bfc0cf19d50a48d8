#pragma once

#include <string>

namespace morel::detail {

// printf-style formatting of one string argument, e.g. Format("Exception: %s", text).
// `format` must hold exactly one %s and no other conversion.
std::string Format(const char* format, const std::string& argument);

}  // namespace morel::detail
