#pragma once

#include "desktop/desktop.h"

namespace morel_xy {

// The desktop of a host that could not reach any window system: every operation fails the
// way a platform that refuses it does (false, no window list, no displays, no capture).
// Sleeping still works, so the host's pacing is unchanged.
class RefusingDesktop final : public Desktop {
 public:
  bool MovePointer(Point) override { return false; }
  bool PressButton(PointerButton, bool, Point) override { return false; }
  bool Scroll(int32_t, int32_t) override { return false; }
  bool PressKey(Keysym, bool) override { return false; }
  bool TypeCharacter(char32_t, std::string_view) override { return false; }
  void Sleep(std::chrono::nanoseconds duration) override;
  std::optional<std::vector<TopLevelWindow>> ListOnScreenWindows() override { return std::nullopt; }
  std::vector<DesktopDisplay> ListDisplays() override { return {}; }
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t, const PixelRect&) override {
    return std::nullopt;
  }
};

}  // namespace morel_xy
