#include "desktop/x11/x11_desktop.h"

#include "desktop/system_clock.h"
#include "desktop/x11/x11_connection.h"
#include "desktop/x11/x11_input.h"
#include "desktop/x11/x11_screen.h"

namespace morel_xy {
namespace {

class X11Desktop final : public Desktop {
 public:
  explicit X11Desktop(std::unique_ptr<X11Connection> connection)
      : connection_(std::move(connection)), input_(*connection_), screen_(*connection_) {}

  void ConfigureSyntheticInput() override { input_.ConfigureSyntheticInput(); }
  bool PostMouseEvent(const PostedMouseEvent& e) override { return input_.PostMouseEvent(e); }
  bool PostScrollEvent(const PostedScrollEvent& e) override { return input_.PostScrollEvent(e); }
  bool PostKeyEvent(const PostedKeyEvent& e) override { return input_.PostKeyEvent(e); }
  bool PostUnicodeKeyEvent(const PostedUnicodeKeyEvent& e) override {
    return input_.PostUnicodeKeyEvent(e);
  }
  double Now() override { return WallClockSeconds(); }
  void Sleep(std::chrono::nanoseconds duration) override { SleepFor(duration); }
  double DoubleClickInterval() override { return input_.DoubleClickInterval(); }
  int32_t GetApplicationPid(const std::string& bundleId) override {
    return screen_.GetApplicationPid(bundleId);
  }
  std::optional<std::vector<OnScreenWindow>> ListOnScreenWindows() override {
    return screen_.ListOnScreenWindows();
  }
  std::vector<Screen> ListScreens() override { return screen_.ListScreens(); }
  uint32_t MainDisplayNumber() override { return screen_.MainDisplayNumber(); }
  double MainScreenBackingScaleFactor() override { return screen_.MainScreenBackingScaleFactor(); }
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                  const PixelRect& area) override {
    return screen_.CaptureDisplayArea(displayNumber, area);
  }

 private:
  // Declared first: the input and screen parts use it until they are destroyed.
  std::unique_ptr<X11Connection> connection_;
  X11Input input_;
  X11Screen screen_;
};

}  // namespace

std::unique_ptr<Desktop> OpenX11Desktop() {
  std::unique_ptr<X11Connection> connection = X11Connection::Open();
  if (!connection) return nullptr;
  X11Input::CleanUpOnTerminationSignals();
  return std::make_unique<X11Desktop>(std::move(connection));
}

}  // namespace morel_xy
