#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace morel_xy {

// The browsers whose windows the host looks for. Chromium and Google Chrome (every channel)
// are one browser to the host: they run the same extensions.
enum class Browser : uint8_t { Chrome, Firefox };

// Which supported browser an application id belongs to (an X11 WM_CLASS class name, a Wayland
// app id). Google Chrome's channels ("google-chrome", "Google-chrome-beta", ...), Chromium's
// packagings ("chromium", "Chromium-browser", "chromium-freeworld") and the app windows either
// opens on Wayland ("chrome-<app id>-Default") are Chrome; Firefox's editions ("firefox",
// "firefox-esr", "firefoxdeveloperedition", ...) are Firefox. Case is ignored. nullopt for
// every other application.
std::optional<Browser> BrowserForApplicationName(std::string_view name);

}  // namespace morel_xy
