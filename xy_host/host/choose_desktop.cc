#include "host/choose_desktop.h"

#include <string_view>

#include "actions/windows.h"

namespace morel_xy {
namespace {

bool ShowsABrowser(Desktop& desktop, const ProcessTable& processes) {
  const std::optional<std::vector<TopLevelWindow>> windows = desktop.ListOnScreenWindows();
  if (!windows) return false;
  return detail::GetApplicationPid(*windows, Browser::Chrome, processes) > 0 ||
         detail::GetApplicationPid(*windows, Browser::Firefox, processes) > 0;
}

}  // namespace

DesktopChoice ChooseDesktop(const Environment& environment, std::span<const Backend> backends,
                            const ProcessTable& processes) {
  DesktopChoice choice;
  choice.name = "none";
  const char* forced = environment("MOREL_XY_BACKEND");
  if (forced && *forced) {
    const std::string wanted(forced);
    for (const Backend& backend : backends) {
      if (wanted != backend.name) continue;
      std::string why;
      choice.opened = backend.open(environment, &why);
      if (choice.opened.desktop) {
        choice.name = backend.name;
        choice.reason = "MOREL_XY_BACKEND=" + wanted + ": " + choice.opened.description;
      } else {
        choice.reason = why;
        choice.complaint = "MOREL_XY_BACKEND=" + wanted + ", but " + why;
      }
      return choice;
    }
    choice.complaint = "MOREL_XY_BACKEND=" + wanted + " names no back-end of this build (" +
                       BackendNames(backends) + "); choosing from the session. ";
  }

  std::string reasons;
  const auto passOver = [&reasons](const Backend& backend, const std::string& why) {
    if (!reasons.empty()) reasons += "; ";
    reasons += std::string(backend.name) + ": " + why;
  };
  for (const Backend& backend : backends) {
    if (const std::string absent = backend.absent(environment); !absent.empty()) {
      passOver(backend, absent);
      continue;
    }
    std::string why;
    OpenedDesktop opened = backend.open(environment, &why);
    if (!opened.desktop) {
      passOver(backend, why);
      continue;
    }
    if (backend.onlyForABrowserItShows && backend.onlyForABrowserItShows(environment)) {
      if (!ShowsABrowser(*opened.desktop, processes)) {
        passOver(backend, opened.description +
                              " shows no browser window: on a Wayland session it serves a "
                              "browser started as its client (--ozone-platform=x11)");
        continue;
      }
      opened.description += ", which shows the browser's window";
    }
    choice.name = backend.name;
    choice.reason = opened.description;
    choice.opened = std::move(opened);
    return choice;
  }
  choice.reason = reasons.empty() ? "this build has no back-end" : reasons;
  choice.complaint += "no back-end serves this session (" + choice.reason + ")";
  return choice;
}

}  // namespace morel_xy
