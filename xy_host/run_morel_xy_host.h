#pragma once

#include <cstdio>

#include "desktop/desktop.h"

namespace morel_xy {

// Serves the native-messaging channel on `in`/`out` over `desktop` until it ends; returns
// the loop's end code, which the program uses as its exit status. Configures the desktop's
// synthetic input once, before the first request; "find_rectangle" writes "screenshot.bmp"
// into the working directory.
int RunMorelXYHost(Desktop& desktop, FILE* in = stdin, FILE* out = stdout);

}  // namespace morel_xy
