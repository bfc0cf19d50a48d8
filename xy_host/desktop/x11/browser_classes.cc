#include "desktop/x11/browser_classes.h"

#include <cctype>

namespace morel_xy {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::optional<std::string> BundleIdForName(std::string_view name) {
  // Chrome's channels ("Google-chrome", "Google-chrome-beta", "-unstable") and Chromium's
  // packagings ("Chromium", "Chromium-browser", "chromium-freeworld") share the browser's
  // extension host; Firefox's editions ("firefox", "Firefox", "firefox-esr",
  // "firefoxdeveloperedition", "firefox-nightly") likewise.
  if (StartsWithIgnoringCase(name, "google-chrome") || StartsWithIgnoringCase(name, "chromium")) {
    return std::string("com.google.Chrome");
  }
  if (StartsWithIgnoringCase(name, "firefox")) return std::string("org.mozilla.firefox");
  return std::nullopt;
}

}  // namespace

std::optional<std::string> BundleIdForWmClass(std::string_view instance, std::string_view klass) {
  // The class names the application; the instance is only a fallback, as Firefox names its
  // instance "Navigator" and any program may take an instance name on its command line.
  if (std::optional<std::string> byClass = BundleIdForName(klass)) return byClass;
  if (klass.empty()) return BundleIdForName(instance);
  return std::nullopt;
}

}  // namespace morel_xy
