#include "impl/windows.h"

#include <gtest/gtest.h>

#include "desktop/fake/fake_desktop.h"
#include "morel_xy_host.h"

namespace morel_xy::impl {
namespace {

using detail::WindowInfo;

constexpr int32_t kChrome = 4100;
constexpr int32_t kFirefox = 4200;
constexpr int32_t kOther = 4300;

TopLevelWindow Window(int32_t pid, std::string title, bool normal = true,
                      PointRect frame = {10, 20, 300, 200}) {
  return TopLevelWindow{pid, std::move(title), normal, frame};
}

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_.applicationPids = {{Browser::Chrome, kChrome}, {Browser::Firefox, kFirefox}};
  }

  std::optional<WindowInfo> Active() {
    WindowInfo info{-5, "untouched", {}};
    if (!detail::GetActiveBrowserWindow(fake_, info)) {
      EXPECT_EQ(info.name, "untouched");
      return std::nullopt;
    }
    return info;
  }

  FakeDesktop fake_;
};

TEST_F(WindowsTest, FrontmostQualifyingWindowOfEitherBrowserWins) {
  fake_.windows = {
      {Window(kOther, "Editor"), Window(kFirefox, "Mozilla Firefox"), Window(kChrome, "Chromium")}};
  std::optional<WindowInfo> active = Active();
  ASSERT_TRUE(active);
  EXPECT_EQ(active->ownerPid, kFirefox);
  EXPECT_EQ(active->name, "Mozilla Firefox");
  EXPECT_EQ(active->bounds, (PointRect{10, 20, 300, 200}));

  fake_.windows = {{Window(kChrome, "Chromium"), Window(kFirefox, "Mozilla Firefox")}};
  EXPECT_EQ(Active()->name, "Chromium");
}

TEST_F(WindowsTest, UntitledOtherRolesAndOtherOwnersAreSkipped) {
  fake_.windows = {{Window(kChrome, ""), Window(kChrome, "Menu", false),
                    Window(kOther, "Other app"), Window(0, "Unknown owner"),
                    Window(kChrome + 1, "A second instance"), Window(kFirefox, "The one")}};
  EXPECT_EQ(Active()->name, "The one");
}

TEST_F(WindowsTest, NoBrowserRunningOrListRefusedMeansNoWindow) {
  fake_.windows = {{Window(kChrome, "Chromium")}};
  fake_.applicationPids.clear();
  EXPECT_EQ(Active(), std::nullopt);
  // A window whose owner is unknown must not match a browser that is not running.
  fake_.windows = {{Window(-1, "Chromium"), Window(0, "Chromium")}};
  EXPECT_EQ(Active(), std::nullopt);
  fake_.applicationPids = {{Browser::Chrome, kChrome}};
  fake_.windows.reset();
  EXPECT_EQ(Active(), std::nullopt);
}

TEST_F(WindowsTest, OuterRectTruncatesTowardZero) {
  fake_.windows = {{Window(kChrome, "Chromium", true, {-1440.5, 23.7, 1280.9, 777.2})}};
  Rect rect;
  ASSERT_TRUE(GetActiveBrowserOuterRect(fake_, rect));
  EXPECT_EQ(rect, (Rect{-1440, 23, 1280, 777}));

  fake_.windows = {{Window(kChrome, "Chromium", true, {-1e300, 1e300, NAN, 5})}};
  ASSERT_TRUE(GetActiveBrowserOuterRect(fake_, rect));
  EXPECT_EQ(rect, (Rect{INT32_MIN, INT32_MAX, 0, 5}));

  fake_.windows = std::vector<TopLevelWindow>{};
  rect = Rect{1, 2, 3, 4};
  EXPECT_FALSE(GetActiveBrowserOuterRect(fake_, rect));
  EXPECT_EQ(rect, (Rect{1, 2, 3, 4}));
}

TEST_F(WindowsTest, HandlerAnswersRectangleOrNull) {
  MorelXYHost host(fake_);
  fake_.windows = {{Window(kFirefox, "Firefox", true, {100.9, 50, 800.5, 600})}};
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetActiveBrowserOuterRect, json()).Json().dump(),
            R"({"result":{"height":600,"width":800,"x":100,"y":50}})");
  fake_.windows = {{Window(kFirefox, "")}};
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetActiveBrowserOuterRect, json()).Json().dump(),
            R"({"result":null})");
}

}  // namespace
}  // namespace morel_xy::impl
