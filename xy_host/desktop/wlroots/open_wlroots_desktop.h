#pragma once

#include <memory>
#include <string>

#include "desktop/desktop.h"

namespace morel_xy {

// The desktop of the wlroots compositor at WAYLAND_DISPLAY (sway and its family): virtual
// pointer and keyboard, outputs, screencopy, the clipboard for characters beyond U+FFFF, and
// sway's IPC for the windows. nullptr, with the reason in `why`, when no compositor answers or
// it offers neither a virtual pointer nor a virtual keyboard.
//
// Input left pressed is released when the desktop is destroyed and when SIGTERM, SIGINT or
// SIGHUP ends the process (the signals are blocked in the calling thread: call this from the
// main thread before any other thread starts).
std::unique_ptr<Desktop> OpenWlrootsDesktop(std::string* why);

}  // namespace morel_xy
