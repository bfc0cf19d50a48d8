#include "desktop/browser_identity.h"

#include <gtest/gtest.h>

namespace morel_xy {
namespace {

TEST(BrowserIdentityTest, ChromeChromiumAndFirefoxByWmClass) {
  EXPECT_EQ(BrowserForWmClass("google-chrome", "Google-chrome"), Browser::Chrome);
  EXPECT_EQ(BrowserForWmClass("google-chrome-beta", "Google-chrome-beta"), Browser::Chrome);
  EXPECT_EQ(BrowserForWmClass("chromium", "Chromium"), Browser::Chrome);
  EXPECT_EQ(BrowserForWmClass("chromium-browser", "Chromium-browser"), Browser::Chrome);
  EXPECT_EQ(BrowserForWmClass("crx_abcdef", "Google-chrome"), Browser::Chrome);  // an app window
  EXPECT_EQ(BrowserForWmClass("Navigator", "firefox"), Browser::Firefox);
  EXPECT_EQ(BrowserForWmClass("Navigator", "Firefox"), Browser::Firefox);
  EXPECT_EQ(BrowserForWmClass("Navigator", "firefox-esr"), Browser::Firefox);
  EXPECT_EQ(BrowserForWmClass("firefox", ""), Browser::Firefox);  // no class: the instance
}

TEST(BrowserIdentityTest, WaylandAppIds) {
  EXPECT_EQ(BrowserForApplicationName("chromium"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("google-chrome"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("firefox-esr"), Browser::Firefox);
  EXPECT_EQ(BrowserForApplicationName("chrome-fhihpiojkbmbpdjeoajapmgkhlnakfjf-Default"),
            Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("chrome"), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName("org.mozilla.firefox"), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName(""), std::nullopt);
}

TEST(BrowserIdentityTest, OtherApplicationsAreNoBrowser) {
  EXPECT_EQ(BrowserForWmClass("xterm", "XTerm"), std::nullopt);
  EXPECT_EQ(BrowserForWmClass("chromium", "Gimp"), std::nullopt);  // class wins over instance
  EXPECT_EQ(BrowserForWmClass("", ""), std::nullopt);
  EXPECT_EQ(BrowserForWmClass("x", "chrom"), std::nullopt);
  EXPECT_EQ(BrowserForWmClass("x", "Thunderbird"), std::nullopt);
  EXPECT_EQ(BrowserForWmClass("x", "google-chrom"), std::nullopt);
}

}  // namespace
}  // namespace morel_xy
