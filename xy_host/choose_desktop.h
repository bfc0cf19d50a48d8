#pragma once

#include <functional>
#include <memory>
#include <string>

#include "desktop/desktop.h"

namespace morel_xy {

// The window systems the host can serve through, each opened on demand.
struct DesktopOpeners {
  // The X11 desktop of DISPLAY; nullptr when no display can be opened.
  std::function<std::unique_ptr<Desktop>()> x11;
  // The wlroots desktop of WAYLAND_DISPLAY; nullptr with the reason in `why` otherwise.
  std::function<std::unique_ptr<Desktop>(std::string* why)> wlroots;
};

struct DesktopChoice {
  std::unique_ptr<Desktop> desktop;  // nullptr: nothing can serve, the host refuses
  std::string name;                  // "x11", "wlroots" or "none"
  std::string complaint;             // why the choice fell short; empty when all is well
};

// The desktop to serve through, chosen once at start:
// - MOREL_XY_BACKEND=x11 or =wlroots takes that one (or none, with the reason);
// - X11 when DISPLAY opens and either no Wayland compositor is named (an X11 session) or X
//   sees the browser (a browser under Xwayland);
// - else wlroots when WAYLAND_DISPLAY's compositor offers the wlroots interfaces;
// - else none. A Wayland desktop whose compositor offers neither (GNOME, KDE) only works for
//   a browser under Xwayland, which the complaint says.
// `environment` reads a variable (nullptr when unset).
DesktopChoice ChooseDesktop(const std::function<const char*(const char*)>& environment,
                            const DesktopOpeners& openers);

}  // namespace morel_xy
