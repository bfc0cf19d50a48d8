#include "actions/browser_identity.h"

#include <gtest/gtest.h>

namespace morel_xy {
namespace {

TEST(BrowserIdentityTest, ChromeChromiumAndFirefoxByTheirX11Classes) {
  EXPECT_EQ(BrowserForApplicationName("Google-chrome"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("Google-chrome-beta"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("Chromium"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("Chromium-browser"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("firefox"), Browser::Firefox);
  EXPECT_EQ(BrowserForApplicationName("Firefox"), Browser::Firefox);
  EXPECT_EQ(BrowserForApplicationName("firefox-esr"), Browser::Firefox);
}

TEST(BrowserIdentityTest, WaylandAppIds) {
  EXPECT_EQ(BrowserForApplicationName("chromium"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("google-chrome"), Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("firefox-esr"), Browser::Firefox);
  EXPECT_EQ(BrowserForApplicationName("chrome-fhihpiojkbmbpdjeoajapmgkhlnakfjf-Default"),
            Browser::Chrome);
  EXPECT_EQ(BrowserForApplicationName("chrome"), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName("org.mozilla.firefox"), std::nullopt);
}

TEST(BrowserIdentityTest, OtherApplicationsAreNoBrowser) {
  EXPECT_EQ(BrowserForApplicationName("XTerm"), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName("Gimp"), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName(""), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName("chrom"), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName("Thunderbird"), std::nullopt);
  EXPECT_EQ(BrowserForApplicationName("google-chrom"), std::nullopt);
}

}  // namespace
}  // namespace morel_xy
