#include "actions/windows.h"

#include <gtest/gtest.h>

#include "desktop/fake/fake_desktop.h"
#include "desktop/fake/fake_process_table.h"
#include "host/morel_xy_host.h"

namespace morel_xy {
namespace {

using detail::WindowInfo;

constexpr int32_t kChrome = 4100;
constexpr int32_t kFirefox = 4200;
constexpr int32_t kOther = 4300;

TopLevelWindow Window(int32_t pid, std::string title, bool normal = true,
                      PointRect frame = {10, 20, 300, 200}) {
  const char* application = pid == kFirefox ? "firefox" : pid == kOther ? "gedit" : "chromium";
  return TopLevelWindow{pid, application, std::move(title), normal, frame};
}

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { processes_.startTimes = {{kChrome, 500}, {kFirefox, 600}}; }

  std::optional<WindowInfo> Active() { return detail::GetActiveBrowserWindow(fake_, processes_); }

  FakeDesktop fake_;
  FakeProcessTable processes_;
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
  processes_.startTimes[kChrome + 1] = 900;  // started after the first
  EXPECT_EQ(Active()->name, "The one");
}

// Which browser a window is comes from its application id alone, and of several instances of
// one browser only the first started counts, whichever shows its window in front.
TEST_F(WindowsTest, TheFirstStartedInstanceOfABrowserByItsApplicationId) {
  const TopLevelWindow later{7000, "Google-chrome", "Later instance", true, {0, 0, 10, 10}};
  const TopLevelWindow earlier{7100, "chrome-abcdef-Default", "App window", true, {5, 5, 10, 10}};
  fake_.windows = {{later, earlier, Window(kOther, "Editor")}};
  processes_.startTimes = {{7000, 300}, {7100, 200}};
  EXPECT_EQ(Active()->name, "App window");
  EXPECT_EQ(detail::GetApplicationPid(*fake_.windows, Browser::Chrome, processes_), 7100);
  EXPECT_EQ(detail::GetApplicationPid(*fake_.windows, Browser::Firefox, processes_), -1);

  processes_.startTimes = {{7000, 300}};  // one gone from the table: it counts as started last
  EXPECT_EQ(Active()->name, "Later instance");
  processes_.startTimes.clear();  // neither in the table: the lower pid
  EXPECT_EQ(Active()->name, "Later instance");

  // An application id that names no browser never makes a browser window.
  fake_.windows = {{TopLevelWindow{kChrome, "chromium-editor-extra", "x", true, {}},
                    TopLevelWindow{kChrome, "Chrom", "y", true, {}}}};
  EXPECT_EQ(Active()->name, "x") << "chromium* is Chromium's packaging";
  fake_.windows = {{TopLevelWindow{kChrome, "Chrom", "y", true, {}}}};
  EXPECT_EQ(Active(), std::nullopt);
}

TEST_F(WindowsTest, FirstStartedProcessPrefersTheOlderThenTheKnownThenTheLowerPid) {
  processes_.startTimes = {{10, 50}, {11, 40}, {12, 40}};
  EXPECT_EQ(detail::FirstStartedProcess(processes_, {10, 11}), 11);
  EXPECT_EQ(detail::FirstStartedProcess(processes_, {12, 11}), 11);
  EXPECT_EQ(detail::FirstStartedProcess(processes_, {99, 10}), 10) << "not in the table";
  EXPECT_EQ(detail::FirstStartedProcess(processes_, {99, 98}), 98);
  EXPECT_EQ(detail::FirstStartedProcess(processes_, {-1, 0}), -1);
  EXPECT_EQ(detail::FirstStartedProcess(processes_, {}), -1);
}

TEST_F(WindowsTest, NoBrowserRunningOrListRefusedMeansNoWindow) {
  fake_.windows = {{Window(kOther, "Editor")}};
  EXPECT_EQ(Active(), std::nullopt);
  // A window whose owner is unknown must never match.
  fake_.windows = {{Window(-1, "Chromium"), Window(0, "Chromium")}};
  EXPECT_EQ(Active(), std::nullopt);
  fake_.windows.reset();
  EXPECT_EQ(Active(), std::nullopt);
}

TEST_F(WindowsTest, OuterRectTruncatesTowardZero) {
  fake_.windows = {{Window(kChrome, "Chromium", true, {-1440.5, 23.7, 1280.9, 777.2})}};
  Rect rect;
  ASSERT_TRUE(GetActiveBrowserOuterRect(fake_, processes_, rect));
  EXPECT_EQ(rect, (Rect{-1440, 23, 1280, 777}));

  fake_.windows = {{Window(kChrome, "Chromium", true, {-1e300, 1e300, NAN, 5})}};
  ASSERT_TRUE(GetActiveBrowserOuterRect(fake_, processes_, rect));
  EXPECT_EQ(rect, (Rect{INT32_MIN, INT32_MAX, 0, 5}));

  fake_.windows = std::vector<TopLevelWindow>{};
  rect = Rect{1, 2, 3, 4};
  EXPECT_FALSE(GetActiveBrowserOuterRect(fake_, processes_, rect));
  EXPECT_EQ(rect, (Rect{1, 2, 3, 4}));
}

TEST_F(WindowsTest, HandlerAnswersRectangleOrNullAskingForTheWindowsOnce) {
  MorelXYHost host(fake_, "screenshot.bmp", stdin, stdout, processes_);
  fake_.windows = {{Window(kFirefox, "Firefox", true, {100.9, 50, 800.5, 600})}};
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetActiveBrowserOuterRect, json()).Json().dump(),
            R"({"result":{"height":600,"width":800,"x":100,"y":50}})");
  EXPECT_EQ(fake_.windowListings, 1);
  fake_.windows = {{Window(kFirefox, "")}};
  EXPECT_EQ(host.ProcessRequest(MorelXYMethod::GetActiveBrowserOuterRect, json()).Json().dump(),
            R"({"result":null})");
}

}  // namespace
}  // namespace morel_xy
