#include "desktop/wlroots/logic/wlroots_desktop.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "desktop/wlroots/logic/output_layout.h"

namespace morel_xy::wlroots {
namespace {

// Linux input event codes of the buttons.
constexpr uint32_t kButtonLeft = 0x110;
constexpr uint32_t kButtonRight = 0x111;
constexpr uint32_t kButtonMiddle = 0x112;

uint32_t ButtonCode(PointerButton button) {
  switch (button) {
    case PointerButton::Left:
      return kButtonLeft;
    case PointerButton::Right:
      return kButtonRight;
    case PointerButton::Middle:
      return kButtonMiddle;
  }
  return kButtonLeft;
}

std::optional<OutputLayout> Layout(OutputSource* source) {
  if (!source) return std::nullopt;
  std::optional<std::vector<OutputInfo>> outputs = source->Outputs();
  if (!outputs) return std::nullopt;
  return OutputLayout(std::move(*outputs));
}

}  // namespace

WlrootsDesktop::WlrootsDesktop(WlrootsParts parts)
    : parts_(std::move(parts)), madeAt_(std::chrono::steady_clock::now()) {
  if (!parts_.sleep) parts_.sleep = [](std::chrono::nanoseconds) {};
  if (parts_.keyboard) {
    keyboard_ = std::make_unique<WlrootsKeyboard>(*parts_.keyboard, parts_.clipboard, parts_.sleep);
    // A virtual keyboard without a keymap makes some clients fail: it gets one at once.
    keyboardStarted_ = keyboard_->Start();
  }
}

WlrootsDesktop::~WlrootsDesktop() {
  std::lock_guard<std::mutex> lock(mutex_);
  ReleaseHeldLocked();
  keyboard_.reset();
}

void WlrootsDesktop::ReleaseHeldInput() {
  std::lock_guard<std::mutex> lock(mutex_);
  ReleaseHeldLocked();
}

void WlrootsDesktop::ReleaseHeldLocked() {
  if (parts_.pointer && !heldButtons_.empty()) {
    for (uint32_t button : heldButtons_) parts_.pointer->Button(button, false);
    parts_.pointer->Frame();
  }
  heldButtons_.clear();
  if (keyboard_) keyboard_->ReleaseEverything();
  if (parts_.sync) parts_.sync();
}

void WlrootsDesktop::WarmUpDevices() {
  if (warmedUp_) return;
  const auto ready = madeAt_ + kDeviceWarmUp;
  const auto now = std::chrono::steady_clock::now();
  if (now < ready) parts_.sleep(ready - now);
  // One event that changes nothing wakes the devices up in the compositor.
  if (parts_.keyboard && keyboardStarted_) parts_.keyboard->Modifiers(0);
  if (parts_.pointer) parts_.pointer->Frame();
  warmedUp_ = true;
}

bool WlrootsDesktop::MoveTo(Point at) {
  const std::optional<OutputLayout> layout = Layout(parts_.outputs);
  if (!layout) return false;
  const std::optional<OutputLayout::Motion> motion = layout->PointerMotion(at);
  if (!motion) return false;
  if (!parts_.pointer->MoveAbsolute(motion->x, motion->y, motion->xExtent, motion->yExtent) ||
      !parts_.pointer->Frame()) {
    return false;
  }
  pointerAt_ = at;
  return true;
}

bool WlrootsDesktop::MovePointer(Point at) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!parts_.pointer) return false;
  WarmUpDevices();
  return MoveTo(at);
}

bool WlrootsDesktop::PressButton(PointerButton button, bool down, Point at) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!parts_.pointer) return false;
  WarmUpDevices();
  if (pointerAt_ != at && !MoveTo(at)) return false;
  const uint32_t code = ButtonCode(button);
  if (down) {
    heldButtons_.insert(code);
  } else {
    heldButtons_.erase(code);
  }
  return parts_.pointer->Button(code, down) && parts_.pointer->Frame();
}

bool WlrootsDesktop::Scroll(int32_t vertical, int32_t horizontal) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!parts_.pointer) return false;
  WarmUpDevices();
  // The host's positive values scroll up and left; a wheel's positive steps go down and right.
  // One frame per step, as a wheel turned notch by notch gives them.
  const auto turn = [this](uint32_t axis, int32_t lines) {
    const int64_t count = std::llabs(int64_t{lines});
    const int32_t step = lines > 0 ? -1 : 1;
    for (int64_t i = 0; i < count; ++i) {
      if (!parts_.pointer->WheelSteps(axis, step) || !parts_.pointer->Frame()) return false;
    }
    return true;
  };
  return turn(0, vertical) && turn(1, horizontal);
}

bool WlrootsDesktop::PressKey(Keysym keysym, bool down) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!keyboard_ || !keyboardStarted_) return false;
  WarmUpDevices();
  return keyboard_->PressKey(keysym, down);
}

bool WlrootsDesktop::TypeCharacter(char32_t character, std::string_view upcoming) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!keyboard_ || !keyboardStarted_) return false;
  WarmUpDevices();
  return keyboard_->TypeCharacter(character, upcoming);
}

void WlrootsDesktop::Sleep(std::chrono::nanoseconds duration) {
  parts_.sleep(duration);
}

std::optional<std::vector<TopLevelWindow>> WlrootsDesktop::ListOnScreenWindows() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!parts_.windows) return std::nullopt;
  const std::optional<std::vector<CompositorWindow>> views = parts_.windows->Windows();
  if (!views) return std::nullopt;
  const std::optional<OutputLayout> layout = Layout(parts_.outputs);
  std::vector<TopLevelWindow> windows;
  for (const CompositorWindow& view : *views) {
    if (!view.visible) continue;
    TopLevelWindow window;
    window.pid = view.pid;
    window.applicationId = view.applicationId;
    window.title = view.title;
    window.normal = view.normal;
    window.frame = layout ? layout->ToGlobal(view.rect) : view.rect;
    windows.push_back(std::move(window));
  }
  return windows;
}

std::vector<DesktopDisplay> WlrootsDesktop::ListDisplays() {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::optional<OutputLayout> layout = Layout(parts_.outputs);
  return layout ? layout->Displays() : std::vector<DesktopDisplay>{};
}

std::optional<CapturedImage> WlrootsDesktop::CaptureDisplayArea(uint32_t displayNumber,
                                                                const PixelRect& area) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!parts_.capturer) return std::nullopt;
  const std::optional<OutputLayout> layout = Layout(parts_.outputs);
  if (!layout) return std::nullopt;
  const OutputInfo* output = layout->Find(displayNumber);
  if (!output) return std::nullopt;
  const std::optional<PixelRect> clipped = OutputLayout::ClipToOutput(*output, area);
  if (!clipped) return std::nullopt;
  std::optional<CapturedImage> image = parts_.capturer->Capture(output->id, *clipped);
  if (image) image->area = *clipped;
  return image;
}

std::string WlrootsDesktop::Missing(Capability capability) {
  std::lock_guard<std::mutex> lock(mutex_);
  switch (capability) {
    case Capability::PointerAndButtons:
    case Capability::Wheel:
      return parts_.pointer ? "" : "the compositor offers no zwlr_virtual_pointer_manager_v1";
    case Capability::KeysAndChords:
      if (!keyboard_) return "the compositor offers no zwp_virtual_keyboard_manager_v1";
      return keyboardStarted_ ? "" : "the compositor did not take the host's keymap";
    case Capability::TextOutsideLayout:
      if (!keyboard_ || !keyboardStarted_) return "no virtual keyboard (see keys and chords)";
      return parts_.clipboard ? ""
                              : "the compositor offers no zwlr_data_control_manager_v1: emoji "
                                "and other characters beyond U+FFFF cannot be typed";
    case Capability::BrowserWindowFrame:
      return parts_.windows ? ""
                            : "no sway IPC socket (SWAYSOCK is not set, and none is in "
                              "XDG_RUNTIME_DIR): only sway tells where windows are";
    case Capability::DisplaysAndScale:
      return parts_.outputs ? "" : "the compositor offers no zxdg_output_manager_v1";
    case Capability::Capture:
      return parts_.capturer ? "" : "the compositor offers no zwlr_screencopy_manager_v1";
  }
  return "";
}

}  // namespace morel_xy::wlroots
