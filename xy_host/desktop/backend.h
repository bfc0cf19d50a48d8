#pragma once

#include <cstdlib>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "desktop/desktop.h"

namespace morel_xy {

// The session's environment, one variable at a time: its value, or nullptr when it is unset.
using Environment = std::function<const char*(const char*)>;

// This process's own environment.
inline Environment ProcessEnvironment() {
  return [](const char* name) -> const char* { return std::getenv(name); };
}

// What `morel_xy_host --check` reports on, one line each, in this order.
enum class Capability {
  PointerAndButtons,
  Wheel,
  KeysAndChords,
  TextOutsideLayout,
  BrowserWindowFrame,
  DisplaysAndScale,
  Capture,
};

inline constexpr Capability ALL_CAPABILITIES[] = {
    Capability::PointerAndButtons,
    Capability::Wheel,
    Capability::KeysAndChords,
    Capability::TextOutsideLayout,
    Capability::BrowserWindowFrame,
    Capability::DisplaysAndScale,
    Capability::Capture,
};

// A back-end once opened.
struct OpenedDesktop {
  std::unique_ptr<Desktop> desktop;
  // What was opened, for a person reading --check ("the X server of DISPLAY=:1").
  std::string description;
  // What is missing for a capability, in words a user can act on (which variable, protocol,
  // file or command); empty when nothing the back-end can see without moving anything is
  // missing. Called from the thread that opened the desktop, while the desktop lives.
  std::function<std::string(Capability)> missing;
};

// One window system the host can serve through: a row of the back-end table
// (desktop/backend_table.cc). Each back-end's folder defines its row.
struct Backend {
  // What MOREL_XY_BACKEND takes to force it, and what --check calls it.
  const char* name;
  // Why the session cannot offer it (the variable naming its server is unset); empty when it
  // may.
  std::function<std::string(const Environment& environment)> absent;
  // Opens it: `desktop` set, or nullptr with the reason in `why`. Opening moves nothing the user
  // would notice. Called from the main thread.
  std::function<OpenedDesktop(const Environment& environment, std::string* why)> open;
  // Whether, in this session, it serves only a browser whose window it shows: X11 on a Wayland
  // session sees only the X clients of Xwayland. Empty: it serves the whole session.
  std::function<bool(const Environment& environment)> onlyForABrowserItShows;
};

// The names of `backends`, in order, joined by ", " ("x11, wlroots").
inline std::string BackendNames(std::span<const Backend> backends) {
  std::string names;
  for (const Backend& backend : backends) {
    if (!names.empty()) names += ", ";
    names += backend.name;
  }
  return names;
}

// Opens `backend` in this process's environment, for a program that wants that one desktop:
// the desktop, or nullptr with the reason in `why` (when given).
inline std::unique_ptr<Desktop> OpenDesktop(const Backend& backend, std::string* why = nullptr) {
  std::string reason;
  OpenedDesktop opened = backend.open(ProcessEnvironment(), &reason);
  if (!opened.desktop && why) *why = reason;
  return std::move(opened.desktop);
}

}  // namespace morel_xy
