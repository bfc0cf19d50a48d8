#pragma once

#include <string>
#include <vector>

#include "run.h"

namespace ocr {

// Writes the support line to standard error (no line feed) and exits with status 1.
[[noreturn]] void PrintUsageAndDie();

// The whole tool: reads the options in their fixed order, then takes the language-list
// road (exit 2) or recognises the document (exit 0 or 1). Never returns.
[[noreturn]] void RunTool(const std::vector<std::string>& arguments, Engines& engines);

}  // namespace ocr
