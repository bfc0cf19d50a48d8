#include "actions/browser_identity.h"

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

}  // namespace

std::optional<Browser> BrowserForApplicationName(std::string_view name) {
  // On Wayland an app or PWA window of either is "chrome-<app id>-<profile>".
  if (StartsWithIgnoringCase(name, "google-chrome") || StartsWithIgnoringCase(name, "chromium") ||
      StartsWithIgnoringCase(name, "chrome-")) {
    return Browser::Chrome;
  }
  if (StartsWithIgnoringCase(name, "firefox")) return Browser::Firefox;
  return std::nullopt;
}

}  // namespace morel_xy
