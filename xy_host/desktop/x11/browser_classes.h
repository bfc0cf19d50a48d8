#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morel_xy {

// Which supported browser, by bundle identifier, a window's WM_CLASS (instance and class
// names) belongs to: "com.google.Chrome" for Google Chrome (any channel) and Chromium,
// "org.mozilla.firefox" for Firefox (any edition). nullopt for every other window.
std::optional<std::string> BundleIdForWmClass(std::string_view instance, std::string_view klass);

}  // namespace morel_xy
