#pragma once

#include <span>
#include <string>

#include "desktop/backend.h"
#include "desktop/process_table.h"

namespace morel_xy {

struct DesktopChoice {
  OpenedDesktop opened;  // opened.desktop is nullptr when nothing can serve: the host refuses
  std::string name;      // the back-end's name, or "none"
  // Why this one, for a person reading --check ("MOREL_XY_BACKEND=x11", "the X server of
  // DISPLAY=:0"); for "none", why each back-end could not serve.
  std::string reason;
  // What the host says on standard error when the choice fell short; empty when all is well.
  std::string complaint;
};

// The back-end to serve through, chosen once at start from `backends` in their order:
// - MOREL_XY_BACKEND naming one takes it (or none, with the reason); naming none of them is
//   complained about, and the session decides;
// - otherwise the first that the session offers and that opens, skipping one that serves this
//   session only for a browser it shows when it shows none (X11 on a Wayland session);
// - else none.
// A back-end opened and then passed over is closed again before the next is tried.
DesktopChoice ChooseDesktop(const Environment& environment, std::span<const Backend> backends,
                            const ProcessTable& processes);

}  // namespace morel_xy
