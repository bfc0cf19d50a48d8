#pragma once

#include <cstdio>
#include <span>

#include "desktop/process_table.h"
#include "host/choose_desktop.h"

namespace morel_xy {

// `morel_xy_host --check`: writes to `out` the back-ends built in (`backends`), which one the
// session gives and why, then one line per capability, "works" or what is missing, in words a
// user can act on. Moves nothing the user would notice: it reads the window and display lists
// and captures one pixel of the main display. Returns the exit status: 0 when every capability
// works, 1 otherwise.
int RunSelfCheck(const DesktopChoice& choice, std::span<const Backend> backends,
                 const ProcessTable& processes, FILE* out);

}  // namespace morel_xy
