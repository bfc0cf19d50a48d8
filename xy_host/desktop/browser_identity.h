#pragma once

#include <optional>
#include <string_view>

#include "desktop/desktop.h"

namespace morel_xy {

// Which supported browser an application name belongs to: an X11 WM_CLASS class name or a
// Wayland app id. Google Chrome's channels ("google-chrome", "Google-chrome-beta", ...),
// Chromium's packagings ("chromium", "Chromium-browser", "chromium-freeworld") and the app
// windows either opens on Wayland ("chrome-<app id>-Default") are Chrome;
// Firefox's editions ("firefox", "firefox-esr", "firefoxdeveloperedition", ...) are Firefox.
// Case is ignored. nullopt for every other application.
std::optional<Browser> BrowserForApplicationName(std::string_view name);

// The same for an X11 window's WM_CLASS: the class names the application; the instance is only
// a fallback for a window without a class, as Firefox names its instance "Navigator" and any
// program may take an instance name on its command line.
std::optional<Browser> BrowserForWmClass(std::string_view instance, std::string_view klass);

}  // namespace morel_xy
