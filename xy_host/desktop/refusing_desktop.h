#pragma once

#include "desktop/desktop.h"

namespace morel_xy {

// The desktop of a host that could not reach any window system: every operation fails the
// way a platform that refuses it does (false, no window list, no displays, no capture). The
// clock and sleeping still work, so the host's pacing is unchanged.
class RefusingDesktop final : public Desktop {
 public:
  void ConfigureSyntheticInput() override {}
  bool PostMouseEvent(const PostedMouseEvent&) override { return false; }
  bool PostScrollEvent(const PostedScrollEvent&) override { return false; }
  bool PostKeyEvent(const PostedKeyEvent&) override { return false; }
  bool PostUnicodeKeyEvent(const PostedUnicodeKeyEvent&) override { return false; }
  double Now() override;
  void Sleep(std::chrono::nanoseconds duration) override;
  double DoubleClickInterval() override { return 0.4; }
  int32_t GetApplicationPid(const std::string&) override { return -1; }
  std::optional<std::vector<OnScreenWindow>> ListOnScreenWindows() override { return std::nullopt; }
  std::vector<Screen> ListScreens() override { return {}; }
  uint32_t MainDisplayNumber() override { return 0; }
  double MainScreenBackingScaleFactor() override { return 0.0; }
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t, const PixelRect&) override {
    return std::nullopt;
  }
};

}  // namespace morel_xy
