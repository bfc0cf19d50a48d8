#include "choose_desktop.h"

#include <string_view>

namespace morel_xy {
namespace {

bool Set(const char* value) {
  return value && *value;
}

bool SeesBrowser(Desktop& desktop) {
  return desktop.GetApplicationPid(Browser::Chrome) >= 0 ||
         desktop.GetApplicationPid(Browser::Firefox) >= 0;
}

}  // namespace

DesktopChoice ChooseDesktop(const std::function<const char*(const char*)>& environment,
                            const DesktopOpeners& openers) {
  DesktopChoice choice;
  choice.name = "none";
  const char* forced = environment("MOREL_XY_BACKEND");
  if (Set(forced)) {
    const std::string_view wanted(forced);
    if (wanted == "x11") {
      choice.desktop = openers.x11();
      if (choice.desktop) {
        choice.name = "x11";
      } else {
        choice.complaint = "MOREL_XY_BACKEND=x11, but no X display can be opened (DISPLAY)";
      }
      return choice;
    }
    if (wanted == "wlroots") {
      std::string why;
      choice.desktop = openers.wlroots(&why);
      if (choice.desktop) {
        choice.name = "wlroots";
      } else {
        choice.complaint = "MOREL_XY_BACKEND=wlroots, but " + why;
      }
      return choice;
    }
    choice.complaint = "MOREL_XY_BACKEND=" + std::string(wanted) +
                       " names no back-end (x11 or wlroots); choosing from the session. ";
  }

  const bool wayland = Set(environment("WAYLAND_DISPLAY"));
  std::unique_ptr<Desktop> x11 = Set(environment("DISPLAY")) ? openers.x11() : nullptr;
  if (x11 && (!wayland || SeesBrowser(*x11))) {
    choice.desktop = std::move(x11);
    choice.name = "x11";
    return choice;
  }
  if (wayland) {
    std::string why;
    choice.desktop = openers.wlroots(&why);
    if (choice.desktop) {
      choice.name = "wlroots";
      return choice;
    }
    choice.complaint +=
        "the browser is not an X client here and " + why +
        ": on this desktop the host serves a browser started with --ozone-platform=x11";
    return choice;
  }
  choice.complaint += "no window system: neither DISPLAY nor WAYLAND_DISPLAY opens";
  return choice;
}

}  // namespace morel_xy
