#pragma once

#include <string>

#include "result_model.h"

namespace ocr {

// The pretty-printed result document, members in a fixed order, non-ASCII as UTF-8.
// Text that is not valid UTF-8 is written with U+FFFD in place of the bad bytes.
std::string MakeJsonStringFromDocResult(const DocResult& doc, BreakdownMode mode);

// Writes text to path directly (no temporary file), replacing any file. Reports
// "Could not write output to ..." and returns false on failure.
bool WriteJsonStringToPath(const std::string& json, const std::string& path);

// Nearest integer, halves away from zero.
long long RoundHalfAwayFromZero(double value);

}  // namespace ocr
