#pragma once

#include <cstdio>

#include "desktop/desktop.h"

namespace morel_xy {

// Serves the native-messaging channel on `in`/`out` over `desktop` until it ends; returns
// the loop's end code, which the program uses as its exit status. "find_rectangle" writes
// "screenshot.bmp" into the working directory.
int RunMorelXYHost(Desktop& desktop, FILE* in = stdin, FILE* out = stdout);

}  // namespace morel_xy
