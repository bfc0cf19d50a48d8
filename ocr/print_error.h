#pragma once

#include <string_view>

namespace ocr {

// Writes "error: " + message + "\n" to standard error in one write, so lines from
// concurrent writers never interleave. Returns to the caller, which decides what follows.
void PrintError(std::string_view message);

}  // namespace ocr
