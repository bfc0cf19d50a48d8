#pragma once

#include <string>
#include <vector>

#include "run.h"

namespace ocr {

// The whole tool: reads the options in their fixed order, then takes the language-list
// road or recognises the document. Returns the process's exit status: 2 after the language
// list, 0 when the result document was written, 1 after any failure (reported on standard
// error, a refused command line ending with the support line). Standard output is flushed.
int RunTool(const std::vector<std::string>& arguments, Engines& engines);

}  // namespace ocr
