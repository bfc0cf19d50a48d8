#pragma once

#include "desktop/desktop.h"

namespace morel_xy::impl {

// The desktop every platform operation of the host goes through. Chosen once at start-up
// (tests hand in a fake); until then, a desktop that refuses everything. The desktop is
// borrowed and must outlive its use.
void SetDesktop(Desktop* desktop);
Desktop& GetDesktop();

}  // namespace morel_xy::impl
