#include "host/self_check.h"

#include <string>

#include "actions/displays.h"
#include "actions/windows.h"

namespace morel_xy {
namespace {

const char* Title(Capability capability) {
  switch (capability) {
    case Capability::PointerAndButtons:
      return "pointer and buttons";
    case Capability::Wheel:
      return "wheel";
    case Capability::KeysAndChords:
      return "keys and chords";
    case Capability::TextOutsideLayout:
      return "text outside the layout";
    case Capability::BrowserWindowFrame:
      return "the browser window's frame";
    case Capability::DisplaysAndScale:
      return "displays and scale";
    case Capability::Capture:
      return "capture";
  }
  return "?";
}

// What the host sees through the seam, for the capabilities it can try without moving
// anything; the back-end's own account comes first, as it names the part to fix.
std::string Probe(Capability capability, Desktop& desktop, const ProcessTable& processes) {
  switch (capability) {
    case Capability::BrowserWindowFrame: {
      const std::optional<std::vector<TopLevelWindow>> windows = desktop.ListOnScreenWindows();
      if (!windows) return "the window system refuses the list of windows";
      if (!detail::GetActiveBrowserWindow(*windows, processes)) {
        return "no Chromium, Chrome or Firefox window is open on this desktop (start the "
               "browser, then check again)";
      }
      return "";
    }
    case Capability::DisplaysAndScale: {
      const std::vector<DesktopDisplay> displays = desktop.ListDisplays();
      if (displays.empty()) return "the window system reports no display";
      if (!detail::MainDisplay(displays)) return "no display is the main one";
      return "";
    }
    case Capability::Capture: {
      const std::vector<DesktopDisplay> displays = desktop.ListDisplays();
      const DesktopDisplay* main = detail::MainDisplay(displays);
      if (!main) return "there is no main display to capture";
      if (!desktop.CaptureDisplayArea(main->number, PixelRect{0, 0, 1, 1})) {
        return "a capture of the main display failed";
      }
      return "";
    }
    default:
      return "";
  }
}

}  // namespace

int RunSelfCheck(const DesktopChoice& choice, std::span<const Backend> backends,
                 const ProcessTable& processes, FILE* out) {
  std::fprintf(out, "back-ends built in: %s\n", BackendNames(backends).c_str());
  std::fprintf(out, "back-end: %s (%s)\n", choice.name.c_str(), choice.reason.c_str());
  bool allWork = true;
  for (const Capability capability : ALL_CAPABILITIES) {
    std::string missing;
    if (!choice.opened.desktop) {
      missing = "no back-end serves this session (see above)";
    } else {
      if (choice.opened.missing) missing = choice.opened.missing(capability);
      if (missing.empty()) missing = Probe(capability, *choice.opened.desktop, processes);
    }
    if (missing.empty()) {
      std::fprintf(out, "%s: works\n", Title(capability));
    } else {
      allWork = false;
      std::fprintf(out, "%s: missing: %s\n", Title(capability), missing.c_str());
    }
  }
  return allWork ? 0 : 1;
}

}  // namespace morel_xy
