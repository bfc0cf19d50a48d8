#include "desktop/wlroots/open_wlroots_desktop.h"

#include <mutex>
#include <set>

#include "desktop/sleep_for.h"
#include "desktop/termination_watch.h"
#include "desktop/wlroots/data_control_clipboard.h"
#include "desktop/wlroots/screencopy.h"
#include "desktop/wlroots/sway_ipc.h"
#include "desktop/wlroots/virtual_keyboard.h"
#include "desktop/wlroots/virtual_pointer.h"
#include "desktop/wlroots/wayland_connection.h"
#include "desktop/wlroots/wayland_outputs.h"
#include "desktop/wlroots/wlroots_desktop.h"

namespace morel_xy {
namespace {

using namespace wlroots;

// The objects behind one desktop, destroyed in the reverse order of their declaration: the
// devices before the connection they live on.
struct WaylandObjects {
  std::unique_ptr<WaylandConnection> connection;
  std::unique_ptr<WaylandOutputs> outputs;
  std::unique_ptr<VirtualPointer> pointer;
  std::unique_ptr<VirtualKeyboard> keyboard;
  std::unique_ptr<Screencopy> screencopy;
  std::unique_ptr<DataControlClipboard> clipboard;
  std::unique_ptr<SwayIpc> ipc;
};

std::mutex gLiveMutex;
std::set<WlrootsDesktop*> gLive;

// Keeps the live desktops known to the signal watcher.
class TrackedDesktop final : public Desktop {
 public:
  explicit TrackedDesktop(std::unique_ptr<WlrootsDesktop> desktop) : desktop_(std::move(desktop)) {
    std::lock_guard<std::mutex> lock(gLiveMutex);
    gLive.insert(desktop_.get());
  }
  ~TrackedDesktop() override {
    std::lock_guard<std::mutex> lock(gLiveMutex);
    gLive.erase(desktop_.get());
    desktop_.reset();
  }

  void ConfigureSyntheticInput() override { desktop_->ConfigureSyntheticInput(); }
  bool MovePointer(Point at) override { return desktop_->MovePointer(at); }
  bool PressButton(PointerButton button, bool down, Point at) override {
    return desktop_->PressButton(button, down, at);
  }
  bool Scroll(int32_t vertical, int32_t horizontal) override {
    return desktop_->Scroll(vertical, horizontal);
  }
  bool PressKey(Keysym keysym, bool down) override { return desktop_->PressKey(keysym, down); }
  bool TypeCharacter(char32_t character, std::string_view upcoming) override {
    return desktop_->TypeCharacter(character, upcoming);
  }
  void Sleep(std::chrono::nanoseconds duration) override { desktop_->Sleep(duration); }
  int32_t GetApplicationPid(Browser browser) override {
    return desktop_->GetApplicationPid(browser);
  }
  std::optional<std::vector<TopLevelWindow>> ListOnScreenWindows() override {
    return desktop_->ListOnScreenWindows();
  }
  std::vector<DesktopDisplay> ListDisplays() override { return desktop_->ListDisplays(); }
  double ScaleFactor() override { return desktop_->ScaleFactor(); }
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                  const PixelRect& area) override {
    return desktop_->CaptureDisplayArea(displayNumber, area);
  }

 private:
  std::unique_ptr<WlrootsDesktop> desktop_;
};

void ReleaseOnTerminationSignals() {
  static std::once_flag registered;
  std::call_once(registered, [] {
    ReleaseOnTermination([] {
      // Kept locked to the end, so no desktop goes away meanwhile.
      gLiveMutex.lock();
      for (WlrootsDesktop* desktop : gLive) desktop->ReleaseHeldInput();
    });
  });
}

}  // namespace

std::unique_ptr<Desktop> OpenWlrootsDesktop(std::string* why) {
  // Before the clipboard's thread starts: it must inherit the blocked signals, or a
  // termination signal could end the process there, without the release.
  ReleaseOnTerminationSignals();
  auto objects = std::make_shared<WaylandObjects>();
  objects->connection = WaylandConnection::Open(why);
  if (!objects->connection) return nullptr;
  WaylandConnection& connection = *objects->connection;
  const WaylandConnection::Globals& globals = connection.globals();
  if (!globals.pointerManager || !globals.keyboardManager || !globals.seat) {
    if (why) {
      *why =
          "the Wayland compositor offers no virtual pointer and keyboard "
          "(zwlr_virtual_pointer_manager_v1, zwp_virtual_keyboard_manager_v1)";
    }
    return nullptr;
  }
  objects->outputs = std::make_unique<WaylandOutputs>(connection);
  objects->pointer = VirtualPointer::Create(connection);
  objects->keyboard = VirtualKeyboard::Create(connection);
  objects->screencopy = Screencopy::Create(connection, *objects->outputs);
  // The clipboard only serves characters beyond U+FFFF: without it the rest still works.
  objects->clipboard = DataControlClipboard::Create(nullptr);
  if (std::optional<std::string> socket = SwayIpc::FindSocket()) {
    objects->ipc = std::make_unique<SwayIpc>(*socket);
  }

  WlrootsParts parts;
  parts.pointer = objects->pointer.get();
  parts.keyboard = objects->keyboard.get();
  parts.clipboard = objects->clipboard.get();
  parts.outputs = objects->outputs.get();
  parts.capturer = objects->screencopy.get();
  parts.windows = objects->ipc.get();
  parts.sleep = [](std::chrono::nanoseconds duration) { SleepFor(duration); };
  parts.sync = [&connection] { return connection.Roundtrip(std::chrono::milliseconds(500)); };
  parts.owner = objects;
  auto desktop = std::make_unique<WlrootsDesktop>(std::move(parts));
  return std::make_unique<TrackedDesktop>(std::move(desktop));
}

}  // namespace morel_xy
