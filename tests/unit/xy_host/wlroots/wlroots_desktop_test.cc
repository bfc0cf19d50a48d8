#include "desktop/wlroots/logic/wlroots_desktop.h"

#include <gtest/gtest.h>

#include <map>

#include "actions/displays.h"
#include "actions/windows.h"
#include "desktop/fake/fake_process_table.h"
#include "fake_ports.h"

namespace morel_xy::wlroots {
namespace {

using namespace std::chrono_literals;
using testing::Output;

constexpr char kTreeWithBrowsers[] = R"({"focus": [3], "nodes": [
  {"id": 3, "type": "output", "focus": [4], "nodes": [
    {"id": 4, "type": "workspace", "focus": [11, 10, 12], "nodes": [
      {"id": 10, "pid": 200, "app_id": "chromium", "name": "later", "visible": true,
       "rect": {"x": 1700, "y": 100, "width": 600, "height": 400}},
      {"id": 11, "pid": 100, "app_id": "foot", "name": "terminal", "visible": true,
       "rect": {"x": 0, "y": 0, "width": 800, "height": 1000}},
      {"id": 12, "pid": 150, "app_id": "google-chrome", "name": "first", "visible": false,
       "rect": {"x": 10, "y": 10, "width": 100, "height": 100}}]}]}]})";

constexpr char kTreeWithoutBrowsers[] = R"({"nodes": [
  {"pid": 100, "app_id": "foot", "name": "terminal", "visible": true,
   "rect": {"x": 0, "y": 0, "width": 800, "height": 1000}}]})";

class WlrootsDesktopTest : public ::testing::Test, protected testing::FakeDevices {
 protected:
  WlrootsDesktopTest() {
    outputs.outputs = {Output(7, "HEADLESS-1", 0, 0, 1600, 1000),
                       Output(8, "HEADLESS-2", 1600, 0, 800, 600, 2.0)};
    tree.tree = kTreeWithBrowsers;
  }

  std::unique_ptr<WlrootsDesktop> Make() {
    WlrootsParts parts = Parts();
    parts.clipboard = &clipboard;
    parts.sleep = [this](std::chrono::nanoseconds d) { slept += d; };
    parts.sync = [this] {
      pointer.events.push_back("sync");
      return true;
    };
    processes.startTimes = {{100, 5}, {150, 10}, {200, 20}};
    return std::make_unique<WlrootsDesktop>(std::move(parts));
  }

  // What the host makes of the desktop's windows and displays.
  double Scale(WlrootsDesktop& desktop) { return GetScreenBackingScaleFactor(desktop, processes); }
  int32_t ChromePid(WlrootsDesktop& desktop) {
    const auto windows = desktop.ListOnScreenWindows();
    return windows ? morel_xy::detail::GetApplicationPid(*windows, Browser::Chrome, processes) : -1;
  }

  FakeProcessTable processes;
  std::chrono::nanoseconds slept{0};
};

TEST_F(WlrootsDesktopTest, TheFirstInputWaitsForTheDevicesThenPointerEventsCarryTheirPlace) {
  std::unique_ptr<WlrootsDesktop> desktop = Make();
  // The keyboard got its keymap when the desktop was made.
  ASSERT_FALSE(keyboard.events.empty());
  EXPECT_EQ(keyboard.events.front(), "keymap");
  ASSERT_TRUE(desktop->MovePointer(Point{100, 200}));
  EXPECT_GT(slept, 0ns);
  EXPECT_LE(slept, WlrootsDesktop::kDeviceWarmUp);
  EXPECT_EQ(pointer.events, (std::vector<std::string>{"frame", "move 100 200 2400 1000", "frame"}));

  pointer.events.clear();
  ASSERT_TRUE(desktop->PressButton(PointerButton::Left, true, Point{100, 200}));
  ASSERT_TRUE(desktop->PressButton(PointerButton::Left, false, Point{1700, 50}));
  ASSERT_TRUE(desktop->PressButton(PointerButton::Right, true, Point{1700, 50}));
  ASSERT_TRUE(desktop->PressButton(PointerButton::Middle, true, Point{1700, 50}));
  EXPECT_EQ(pointer.events,
            (std::vector<std::string>{"button 272 down", "frame", "move 1700 50 2400 1000", "frame",
                                      "button 272 up", "frame", "button 273 down", "frame",
                                      "button 274 down", "frame"}));
  // Buttons left pressed are released when the desktop goes, and the compositor has handled
  // the release before the connection closes.
  pointer.events.clear();
  desktop.reset();
  EXPECT_EQ(pointer.events,
            (std::vector<std::string>{"button 273 up", "button 274 up", "frame", "sync"}));
}

TEST_F(WlrootsDesktopTest, TheWheelTurnsNotchByNotchUpIsNegative) {
  std::unique_ptr<WlrootsDesktop> desktop = Make();
  ASSERT_TRUE(desktop->Scroll(2, -1));
  EXPECT_EQ(pointer.events, (std::vector<std::string>{"frame", "wheel 0 -1", "frame", "wheel 0 -1",
                                                      "frame", "wheel 1 1", "frame"}));
  pointer.events.clear();
  ASSERT_TRUE(desktop->Scroll(-Desktop::kMaxWheelLines, 0));
  EXPECT_EQ(pointer.events.size(), 2u * Desktop::kMaxWheelLines);
  EXPECT_EQ(pointer.events.front(), "wheel 0 1");
}

TEST_F(WlrootsDesktopTest, DisplaysScaleAndWindowsComeFromOutputsAndTheTree) {
  std::unique_ptr<WlrootsDesktop> desktop = Make();
  const std::vector<DesktopDisplay> displays = desktop->ListDisplays();
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_TRUE(displays[0].main);
  EXPECT_EQ(displays[1].frame, (PointRect{1600, 0, 800, 600}));
  EXPECT_DOUBLE_EQ(displays[1].scale, 2.0);

  // The focused browser window sits on the second output.
  EXPECT_DOUBLE_EQ(Scale(*desktop), 2.0);
  // The window on a hidden workspace is not on screen; the one shown is the browser's.
  EXPECT_EQ(ChromePid(*desktop), 200);

  const std::optional<std::vector<TopLevelWindow>> windows = desktop->ListOnScreenWindows();
  ASSERT_TRUE(windows);
  ASSERT_EQ(windows->size(), 2u);  // the hidden one is not on screen
  EXPECT_EQ((*windows)[0].pid, 100);
  EXPECT_EQ((*windows)[0].applicationId, "foot");
  EXPECT_EQ((*windows)[1].pid, 200);
  EXPECT_EQ((*windows)[1].applicationId, "chromium");
  EXPECT_EQ((*windows)[1].title, "later");
  EXPECT_TRUE((*windows)[1].normal);
  EXPECT_EQ((*windows)[1].frame, (PointRect{1700, 100, 600, 400}));
}

TEST_F(WlrootsDesktopTest, WindowFramesAreMeasuredFromTheMainOutput) {
  outputs.outputs = {Output(1, "left", -1280, 0, 1280, 1024), Output(2, "main", 0, 0, 1600, 1000)};
  tree.tree = R"({"nodes": [{"pid": 9, "app_id": "chromium", "visible": true,
                  "rect": {"x": -1000, "y": 20, "width": 500, "height": 400}}]})";
  std::unique_ptr<WlrootsDesktop> desktop = Make();
  const auto windows = desktop->ListOnScreenWindows();
  ASSERT_TRUE(windows && windows->size() == 1);
  EXPECT_EQ((*windows)[0].frame, (PointRect{-1000, 20, 500, 400}));
  EXPECT_DOUBLE_EQ(Scale(*desktop), 1.0);
  ASSERT_TRUE(desktop->MovePointer(Point{-1000, 20}));
  EXPECT_EQ(pointer.events[1], "move 280 20 2880 1024");
}

TEST_F(WlrootsDesktopTest, ATreeWithoutTheBrowserOrNoIpcFindsNoBrowser) {
  tree.tree = kTreeWithoutBrowsers;
  std::unique_ptr<WlrootsDesktop> desktop = Make();
  EXPECT_EQ(ChromePid(*desktop), -1);
  ASSERT_TRUE(desktop->ListOnScreenWindows());
  EXPECT_EQ(desktop->ListOnScreenWindows()->size(), 1u);
  // No browser window: the main output's scale.
  EXPECT_DOUBLE_EQ(Scale(*desktop), 1.0);

  tree.tree = std::nullopt;
  EXPECT_EQ(ChromePid(*desktop), -1);
  EXPECT_EQ(desktop->ListOnScreenWindows(), std::nullopt);
  EXPECT_DOUBLE_EQ(Scale(*desktop), 1.0);

  tree.tree = "{\"nodes\": [";
  EXPECT_EQ(desktop->ListOnScreenWindows(), std::nullopt);
}

TEST_F(WlrootsDesktopTest, CapturesAreClippedToTheirOutputAndFailuresAreReported) {
  std::unique_ptr<WlrootsDesktop> desktop = Make();
  const std::optional<CapturedImage> image =
      desktop->CaptureDisplayArea(8, PixelRect{1500, 1100, 400, 400});
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 100);
  EXPECT_EQ(image->height, 100);
  ASSERT_EQ(capturer.calls.size(), 1u);
  EXPECT_EQ(capturer.calls[0].first, 8u);
  EXPECT_EQ(capturer.calls[0].second, (PixelRect{1500, 1100, 100, 100}));
  EXPECT_EQ(image->area, (PixelRect{1500, 1100, 100, 100}));

  EXPECT_EQ(desktop->CaptureDisplayArea(9, PixelRect{0, 0, 10, 10}), std::nullopt);
  EXPECT_EQ(desktop->CaptureDisplayArea(7, PixelRect{1600, 0, 10, 10}), std::nullopt);
  EXPECT_EQ(capturer.calls.size(), 1u);
  capturer.failing = true;
  EXPECT_EQ(desktop->CaptureDisplayArea(7, PixelRect{0, 0, 10, 10}), std::nullopt);
}

TEST_F(WlrootsDesktopTest, AVanishedCompositorFailsEveryMethodWithoutCrashing) {
  std::unique_ptr<WlrootsDesktop> desktop = Make();
  outputs.gone = true;
  pointer.failing = true;
  keyboard.failing = true;
  tree.tree = std::nullopt;
  capturer.failing = true;
  EXPECT_FALSE(desktop->MovePointer(Point{1, 1}));
  EXPECT_FALSE(desktop->PressButton(PointerButton::Left, true, Point{1, 1}));
  EXPECT_FALSE(desktop->Scroll(1, 0));
  EXPECT_FALSE(desktop->PressKey(keysym::kReturn, true));
  EXPECT_FALSE(desktop->TypeCharacter('a', "bc"));
  EXPECT_EQ(desktop->ListOnScreenWindows(), std::nullopt);
  EXPECT_TRUE(desktop->ListDisplays().empty());
  EXPECT_EQ(Scale(*desktop), 0.0);
  EXPECT_EQ(desktop->CaptureDisplayArea(7, PixelRect{0, 0, 10, 10}), std::nullopt);
}

TEST(WlrootsDesktopPartsTest, ACompositorWithoutTheInputInterfacesStillListsDisplays) {
  testing::FakeOutputs outputs;
  outputs.outputs = {Output(1, "HEADLESS-1", 0, 0, 1024, 768)};
  WlrootsParts parts;
  parts.outputs = &outputs;
  WlrootsDesktop desktop(std::move(parts));
  EXPECT_FALSE(desktop.MovePointer(Point{1, 1}));
  EXPECT_FALSE(desktop.TypeCharacter('a', ""));
  EXPECT_FALSE(desktop.PressKey('a', true));
  EXPECT_EQ(desktop.ListDisplays().size(), 1u);
  EXPECT_EQ(desktop.CaptureDisplayArea(1, PixelRect{0, 0, 1, 1}), std::nullopt);
  EXPECT_EQ(desktop.ListOnScreenWindows(), std::nullopt);
}

}  // namespace
}  // namespace morel_xy::wlroots
