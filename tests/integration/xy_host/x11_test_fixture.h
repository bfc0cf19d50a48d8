#pragma once

// A private X server per test, with the host's X11 desktop opened on it in this process.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "desktop/x11/x11_desktop.h"
#include "impl/desktop_access.h"
#include "test_window.h"
#include "xvfb_server.h"

namespace morel_test {

class X11DesktopTest : public ::testing::Test {
 protected:
  void Start(XvfbServer::Options options) {
    server_ = std::make_unique<XvfbServer>(options);
    ASSERT_TRUE(server_->ok()) << server_->error();
    setenv("DISPLAY", server_->display().c_str(), 1);
  }
  // Opens the desktop after the server has been set up the way the test wants.
  void OpenDesktop() {
    desktop_ = morel_xy::OpenX11Desktop();
    ASSERT_TRUE(desktop_);
    morel_xy::impl::SetDesktop(desktop_.get());
  }
  void TearDown() override {
    morel_xy::impl::SetDesktop(nullptr);
    desktop_.reset();
    server_.reset();
  }

  void Run(const std::vector<std::string>& argv) {
    ASSERT_EQ(RunWithDisplay(server_->display(), argv), 0) << argv[0] << " " << argv[1];
  }
  // Sets Xft.dpi in the server's resource database.
  void SetDpi(int dpi) {
    const std::string path = std::filesystem::temp_directory_path() /
                             ("xrdb_" + std::to_string(getpid()) + "_" + std::to_string(dpi));
    std::ofstream(path) << "Xft.dpi: " << dpi << "\n";
    Run({"xrdb", "-merge", path});
    std::filesystem::remove(path);
  }
  std::unique_ptr<TestWindow> MakeWindow(TestWindow::Options options) {
    auto window = std::make_unique<TestWindow>(server_->display(), options);
    EXPECT_TRUE(window->ok()) << "window " << options.klass << " \""
                              << options.netTitle.value_or("") << "\"";
    return window;
  }
  static TestWindow::Options Browser(const std::string& klass, const std::string& title, int x,
                                     int y, int width, int height) {
    TestWindow::Options o;
    o.instance = klass == "firefox" ? "Navigator" : "chromium";
    o.klass = klass;
    o.netTitle = title;
    o.x = x;
    o.y = y;
    o.width = width;
    o.height = height;
    return o;
  }

  std::unique_ptr<XvfbServer> server_;
  std::unique_ptr<morel_xy::Desktop> desktop_;
};

}  // namespace morel_test
