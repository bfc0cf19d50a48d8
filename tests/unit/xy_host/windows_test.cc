#include "impl/windows.h"

#include <gtest/gtest.h>

#include "browser_window.h"
#include "desktop/fake/fake_desktop.h"
#include "impl/desktop_access.h"
#include "morel_xy_host.h"

namespace morel_xy::impl {
namespace {

using detail::WindowInfo;

constexpr int32_t kChrome = 4100;
constexpr int32_t kFirefox = 4200;
constexpr int32_t kOther = 4300;

OnScreenWindow Window(int32_t pid, int32_t number, std::string name, int32_t layer = 0,
                      PlatformRect bounds = {10, 20, 300, 200}) {
  return OnScreenWindow{pid, number, std::move(name), layer, bounds};
}

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_.applicationPids = {{"com.google.Chrome", kChrome}, {"org.mozilla.firefox", kFirefox}};
    SetDesktop(&fake_);
  }
  void TearDown() override { SetDesktop(nullptr); }

  std::optional<WindowInfo> Active() {
    WindowInfo info{-5, -5, "untouched", {}};
    if (!detail::GetActiveBrowserWindow(info)) {
      EXPECT_EQ(info.name, "untouched");
      return std::nullopt;
    }
    return info;
  }

  FakeDesktop fake_;
};

TEST_F(WindowsTest, BundleIdentifiersAndPidLookup) {
  EXPECT_EQ(detail::CHROME_BUNDLE_ID, "com.google.Chrome");
  EXPECT_EQ(detail::FIREFOX_BUNDLE_ID, "org.mozilla.firefox");
  EXPECT_EQ(detail::GetApplicationPid("org.mozilla.firefox"), kFirefox);
  EXPECT_EQ(detail::GetApplicationPid("com.example.none"), -1);
}

TEST_F(WindowsTest, FrontmostQualifyingWindowOfEitherBrowserWins) {
  fake_.windows = {{Window(kOther, 1, "Editor"), Window(kFirefox, 2, "Mozilla Firefox"),
                    Window(kChrome, 3, "Chromium")}};
  std::optional<WindowInfo> active = Active();
  ASSERT_TRUE(active);
  EXPECT_EQ(active->windowNumber, 2);
  EXPECT_EQ(active->ownerPid, kFirefox);
  EXPECT_EQ(active->name, "Mozilla Firefox");
  EXPECT_EQ(active->bounds, (PlatformRect{10, 20, 300, 200}));

  fake_.windows = {{Window(kChrome, 3, "Chromium"), Window(kFirefox, 2, "Mozilla Firefox")}};
  EXPECT_EQ(Active()->windowNumber, 3);
}

TEST_F(WindowsTest, UntitledOtherLayerAndOtherOwnersAreSkipped) {
  fake_.windows = {{Window(kChrome, 1, ""), Window(kChrome, 2, "Menu", 101),
                    Window(kOther, 3, "Other app"), Window(0, 4, "Unknown owner"),
                    Window(kChrome, 5, "Dock", 20), Window(kFirefox, 6, "The one")}};
  EXPECT_EQ(Active()->windowNumber, 6);
}

TEST_F(WindowsTest, WindowsMissingAnEntryAreSkipped) {
  OnScreenWindow noName = Window(kChrome, 1, "x");
  noName.name.reset();
  OnScreenWindow noNumber = Window(kChrome, 2, "x");
  noNumber.windowNumber.reset();
  OnScreenWindow noLayer = Window(kChrome, 3, "x");
  noLayer.layer.reset();
  OnScreenWindow noBounds = Window(kChrome, 4, "x");
  noBounds.bounds.reset();
  fake_.windows = {{noName, noNumber, noLayer, noBounds}};
  EXPECT_EQ(Active(), std::nullopt);
  fake_.windows->push_back(Window(kChrome, 5, "complete"));
  EXPECT_EQ(Active()->windowNumber, 5);
}

TEST_F(WindowsTest, NoBrowserRunningOrListRefusedMeansNoWindow) {
  fake_.windows = {{Window(kChrome, 1, "Chromium")}};
  fake_.applicationPids.clear();
  EXPECT_EQ(Active(), std::nullopt);
  // A window whose owner is unknown must not match a browser that is not running.
  fake_.windows = {{Window(-1, 1, "Chromium")}};
  EXPECT_EQ(Active(), std::nullopt);
  fake_.applicationPids = {{"com.google.Chrome", kChrome}};
  fake_.windows.reset();
  EXPECT_EQ(Active(), std::nullopt);
}

TEST_F(WindowsTest, OuterRectTruncatesTowardZero) {
  fake_.windows = {{Window(kChrome, 1, "Chromium", 0, {-1440.5, 23.7, 1280.9, 777.2})}};
  Rect rect;
  ASSERT_TRUE(morel_xy::GetActiveBrowserOuterRect(rect));
  EXPECT_EQ(rect, (Rect{-1440, 23, 1280, 777}));

  fake_.windows = {{Window(kChrome, 1, "Chromium", 0, {-1e300, 1e300, NAN, 5})}};
  ASSERT_TRUE(morel_xy::GetActiveBrowserOuterRect(rect));
  EXPECT_EQ(rect, (Rect{INT32_MIN, INT32_MAX, 0, 5}));

  fake_.windows = std::vector<OnScreenWindow>{};
  rect = Rect{1, 2, 3, 4};
  EXPECT_FALSE(morel_xy::GetActiveBrowserOuterRect(rect));
  EXPECT_EQ(rect, (Rect{1, 2, 3, 4}));
}

TEST_F(WindowsTest, HandlerAnswersRectangleOrNull) {
  MorelXYHost host;
  fake_.windows = {{Window(kFirefox, 1, "Firefox", 0, {100.9, 50, 800.5, 600})}};
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetActiveBrowserOuterRect, json()).Json().dump(),
            R"({"result":{"height":600,"width":800,"x":100,"y":50}})");
  fake_.windows = {{Window(kFirefox, 1, "", 0)}};
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetActiveBrowserOuterRect, json()).Json().dump(),
            R"({"result":null})");
}

}  // namespace
}  // namespace morel_xy::impl
