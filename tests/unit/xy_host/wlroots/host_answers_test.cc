// The host's answers over the wlroots desktop when the compositor's answers are hostile: a
// tree without the browser, a capture that fails, outputs that vanished.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "desktop/wlroots/logic/wlroots_desktop.h"
#include "fake_ports.h"
#include "host/morel_xy_host.h"

namespace morel_xy::wlroots {
namespace {

constexpr char kBrowserTree[] = R"({"nodes": [
  {"pid": 4242, "app_id": "chromium", "name": "Page", "visible": true,
   "rect": {"x": 100, "y": 50, "width": 400, "height": 300}}]})";

class WlrootsHostAnswersTest : public ::testing::Test, protected testing::FakeDevices {
 protected:
  WlrootsHostAnswersTest() {
    outputs.outputs = {testing::Output(7, "HEADLESS-1", 0, 0, 1600, 1000)};
    tree.tree = kBrowserTree;
    desktop = std::make_unique<WlrootsDesktop>(Parts());
    host = std::make_unique<MorelXYHost>(*desktop, screenshot.string());
    std::filesystem::create_directories(directory);
  }
  ~WlrootsHostAnswersTest() override { std::filesystem::remove_all(directory); }

  std::string Ask(MorelXYMethod method, const json& params = json::object()) {
    return host->ProcessRequest(method, params).Json().dump();
  }

  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() / ("wlroots_host_answers_" + std::to_string(getpid()));
  const std::filesystem::path screenshot = directory / "screenshot.bmp";
  std::unique_ptr<WlrootsDesktop> desktop;
  std::unique_ptr<MorelXYHost> host;
};

TEST_F(WlrootsHostAnswersTest, TheBrowserWindowAndABlockInItsCapture) {
  EXPECT_EQ(Ask(MorelXYMethod::GetActiveBrowserOuterRect),
            R"({"result":{"height":300,"width":400,"x":100,"y":50}})");
  // A capture all black: the black block is the whole window.
  capturer.fill = 0;
  EXPECT_EQ(Ask(MorelXYMethod::FindRectangle, {{"color", "#000000"}}),
            R"({"result":{"height":300,"width":400,"x":0,"y":0}})");
  EXPECT_EQ(capturer.calls.back().second, (PixelRect{100, 50, 400, 300}));
  EXPECT_TRUE(std::filesystem::exists(screenshot));
  EXPECT_EQ(Ask(MorelXYMethod::GetScreenBackingScaleFactor), R"({"result":1.0})");
}

TEST_F(WlrootsHostAnswersTest, ATreeWithoutTheBrowserAnswersNullAndFindsNothing) {
  tree.tree = R"({"nodes": [{"pid": 7, "app_id": "foot", "visible": true,
                  "rect": {"x": 0, "y": 0, "width": 800, "height": 600}}]})";
  EXPECT_EQ(Ask(MorelXYMethod::GetActiveBrowserOuterRect), R"({"result":null})");
  EXPECT_EQ(Ask(MorelXYMethod::FindRectangle, {{"color", "#000000"}}),
            R"({"result":{"height":0,"width":0,"x":0,"y":0}})");
  EXPECT_TRUE(capturer.calls.empty());
  // No IPC at all: the same.
  tree.tree = std::nullopt;
  EXPECT_EQ(Ask(MorelXYMethod::GetActiveBrowserOuterRect), R"({"result":null})");
}

TEST_F(WlrootsHostAnswersTest, AFailedCaptureFindsNothingAndWritesNoScreenshot) {
  capturer.failing = true;
  EXPECT_EQ(Ask(MorelXYMethod::FindRectangle, {{"color", "#000000"}}),
            R"({"result":{"height":0,"width":0,"x":0,"y":0}})");
  EXPECT_FALSE(std::filesystem::exists(screenshot));
}

TEST_F(WlrootsHostAnswersTest, VanishedOutputsLeaveNoDisplayToSearch) {
  outputs.gone = true;
  EXPECT_EQ(Ask(MorelXYMethod::GetDisplayList), R"({"result":[]})");
  EXPECT_EQ(Ask(MorelXYMethod::FindRectangle, {{"color", "#000000"}}),
            R"({"error":["message","Display cannot be found."]})");
  EXPECT_EQ(Ask(MorelXYMethod::GetScreenBackingScaleFactor), R"({"result":0.0})");
  EXPECT_EQ(Ask(MorelXYMethod::SendMouseEvent, {{"type", 0}, {"button", 0}, {"x", 1}, {"y", 1}}),
            R"({"result":false})");
}

}  // namespace
}  // namespace morel_xy::wlroots
