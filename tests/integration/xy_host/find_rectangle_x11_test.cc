// The screen methods of the built host on a private X server, over real pipes.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "host/version.h"
#include "host_process.h"
#include "x11_test_fixture.h"

namespace morel_test {
namespace {

using nlohmann::json;

class HostScreenTest : public X11DesktopTest {
 protected:
  void SetUp() override {
    directory_ =
        std::filesystem::temp_directory_path() / ("host_screen_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override {
    host_.reset();
    X11DesktopTest::TearDown();
    std::filesystem::remove_all(directory_);
  }
  void StartHost() {
    host_ =
        std::make_unique<HostProcess>(MOREL_XY_HOST_PATH, server_->display(), directory_.string());
  }
  json Call(const std::string& method, const json& params = json::object()) {
    const int id = ++lastId_;
    EXPECT_TRUE(host_->Send(json{{"id", id}, {"method", method}, {"params", params}}.dump()));
    const std::optional<std::string> body = host_->Receive();
    EXPECT_TRUE(body) << method;
    if (!body) return json();
    const json response = json::parse(*body);
    EXPECT_EQ(response["id"], id);
    return response;
  }
  static json RectJson(int x, int y, int width, int height) {
    return json{{"x", x}, {"y", y}, {"width", width}, {"height", height}};
  }

  std::filesystem::path directory_;
  std::unique_ptr<HostProcess> host_;
  int lastId_ = 0;
};

TEST_F(HostScreenTest, FindsABlockAndAnOutlineRelativeToTheOuterFrame) {
  Start({.width = 1024, .height = 768, .windowManager = true});
  TestWindow::Options o = Browser("Chromium", "Test page - Chromium", 100, 80, 400, 300);
  auto window = MakeWindow(o);
  window->Fill(40, 30, 50, 20, 0xFF0000);  // red on screen: "color" is blue first
  window->Fill(120, 60, 30, 1, 0x00FF00);
  window->Fill(120, 84, 30, 1, 0x00FF00);
  window->Fill(120, 60, 1, 25, 0x00FF00);
  window->Fill(149, 60, 1, 25, 0x00FF00);
  const TestWindow::Box frame = window->Frame();
  const TestWindow::Box client = window->Client();
  const int dx = client.x - frame.x;
  const int dy = client.y - frame.y;
  ASSERT_GT(dy, 0);  // a title bar above the page
  StartHost();

  EXPECT_EQ(Call("get_active_browser_outer_rect")["result"],
            RectJson(frame.x, frame.y, frame.width, frame.height));
  EXPECT_EQ(Call("find_rectangle", {{"color", "#0000FF"}})["result"],
            RectJson(dx + 40, dy + 30, 50, 20));
  EXPECT_EQ(Call("find_rectangle", {{"color", "00ff00"}, {"displayId", ""}})["result"],
            RectJson(dx + 120, dy + 60, 30, 25));
  const std::filesystem::path screenshot = directory_ / "screenshot.bmp";
  ASSERT_TRUE(std::filesystem::exists(screenshot));
  EXPECT_EQ(std::filesystem::file_size(screenshot),
            54u + 4u * static_cast<uintmax_t>(frame.width) * frame.height);

  // By display id, and an id that names no display.
  const json displays = Call("get_display_list")["result"];
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_EQ(
      Call("find_rectangle", {{"color", "#0000FF"}, {"displayId", displays[0]["id"]}})["result"],
      RectJson(dx + 40, dy + 30, 50, 20));
  EXPECT_EQ(Call("find_rectangle", {{"color", "#0000FF"}, {"displayId", "12345"}})["error"],
            json::array({"message", "Display cannot be found."}));
}

TEST_F(HostScreenTest, ResultsAreInPointsOnAScaledDesktop) {
  Start({.width = 1024, .height = 768, .windowManager = true});
  SetDpi(192);
  auto window = MakeWindow(Browser("firefox", "Scaled - Mozilla Firefox", 100, 80, 400, 300));
  window->Fill(41, 31, 51, 21, 0x336699);
  const TestWindow::Box frame = window->Frame();
  const TestWindow::Box client = window->Client();
  StartHost();
  EXPECT_EQ(Call("get_screen_backing_scale_factor")["result"], 2.0);
  EXPECT_EQ(Call("get_active_browser_outer_rect")["result"],
            RectJson(frame.x / 2, frame.y / 2, frame.width / 2, frame.height / 2));
  const int px = client.x - frame.x + 41;
  const int py = client.y - frame.y + 31;
  EXPECT_EQ(Call("find_rectangle", {{"color", "#996633"}})["result"],
            RectJson(px / 2, py / 2, 51 / 2, 21 / 2));
}

TEST_F(HostScreenTest, ClosedAndChurningWindowsAreAnsweredInOrder) {
  Start({.width = 800, .height = 600, .windowManager = true});
  auto window = MakeWindow(Browser("Chromium", "Closing", 10, 10, 200, 100));
  window->Fill(0, 0, 20, 20, 0x0000FF);
  StartHost();
  EXPECT_TRUE(Call("get_active_browser_outer_rect")["result"].is_object());
  window.reset();
  EXPECT_EQ(Call("get_active_browser_outer_rect")["result"], json());
  EXPECT_EQ(Call("find_rectangle", {{"color", "FF0000"}})["result"], RectJson(0, 0, 0, 0));

  // Browser windows of this process appearing and vanishing while the host looks at them.
  const pid_t churn = StartWindowChurn(server_->display(), std::chrono::milliseconds(2000),
                                       {50, 50, 300, 200}, std::chrono::microseconds(3000));
  ASSERT_GT(churn, 0);
  int found = 0;
  for (int i = 0; i < 60; ++i) {
    const json outer = Call("get_active_browser_outer_rect")["result"];
    EXPECT_TRUE(outer.is_null() || outer.size() == 4u) << outer;
    const json rect = Call("find_rectangle", {{"color", "0000FF"}})["result"];
    ASSERT_TRUE(rect.is_object()) << rect;
    EXPECT_EQ(rect.size(), 4u);
    if (rect["width"] != 0) ++found;
  }
  int status = 0;
  waitpid(churn, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Call("get_version")["result"], std::string(morel_xy::kMorelVersion));
  host_->CloseInput();
  EXPECT_EQ(host_->Wait(), 254);
  RecordProperty("windows_found", found);
}

TEST_F(HostScreenTest, AnXServerThatGoesAwayLeavesTheHostAnswering) {
  Start({.width = 800, .height = 600});
  auto window = MakeWindow(Browser("Chromium", "Page", 10, 10, 200, 100));
  StartHost();
  EXPECT_EQ(Call("get_display_list")["result"].size(), 1u);
  window.reset();
  server_.reset();
  EXPECT_EQ(Call("get_display_list")["result"], json::array());
  EXPECT_EQ(Call("get_screen_backing_scale_factor")["result"], 0.0);
  EXPECT_EQ(Call("get_active_browser_outer_rect")["result"], json());
  EXPECT_EQ(Call("find_rectangle", {{"color", "#000000"}})["error"],
            json::array({"message", "Display cannot be found."}));
  EXPECT_EQ(Call("get_version")["result"], std::string(morel_xy::kMorelVersion));
}

}  // namespace
}  // namespace morel_test
