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
    : m_parts(std::move(parts)), m_madeAt(std::chrono::steady_clock::now()) {
  if (!m_parts.sleep) m_parts.sleep = [](std::chrono::nanoseconds) {};
  if (m_parts.keyboard) {
    m_keyboard =
        std::make_unique<WlrootsKeyboard>(*m_parts.keyboard, m_parts.clipboard, m_parts.sleep);
    // A virtual keyboard without a keymap makes some clients fail: it gets one at once.
    m_keyboardStarted = m_keyboard->Start();
  }
}

WlrootsDesktop::~WlrootsDesktop() {
  std::lock_guard<std::mutex> lock(m_mutex);
  ReleaseHeldLocked();
  m_keyboard.reset();
}

void WlrootsDesktop::ReleaseHeldLocked() {
  if (m_parts.pointer && !m_heldButtons.empty()) {
    for (uint32_t button : m_heldButtons) m_parts.pointer->Button(button, false);
    m_parts.pointer->Frame();
  }
  m_heldButtons.clear();
  if (m_keyboard) m_keyboard->ReleaseEverything();
  if (m_parts.sync) m_parts.sync();
}

void WlrootsDesktop::WarmUpDevices() {
  if (m_warmedUp) return;
  const auto ready = m_madeAt + kDeviceWarmUp;
  const auto now = std::chrono::steady_clock::now();
  if (now < ready) m_parts.sleep(ready - now);
  // One event that changes nothing wakes the devices up in the compositor.
  if (m_parts.keyboard && m_keyboardStarted) m_parts.keyboard->Modifiers(0);
  if (m_parts.pointer) m_parts.pointer->Frame();
  m_warmedUp = true;
}

bool WlrootsDesktop::MoveTo(Point at) {
  const std::optional<OutputLayout> layout = Layout(m_parts.outputs);
  if (!layout) return false;
  const std::optional<OutputLayout::Motion> motion = layout->PointerMotion(at);
  if (!motion) return false;
  if (!m_parts.pointer->MoveAbsolute(motion->x, motion->y, motion->xExtent, motion->yExtent) ||
      !m_parts.pointer->Frame()) {
    return false;
  }
  m_pointerAt = at;
  return true;
}

bool WlrootsDesktop::MovePointer(Point at) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_parts.pointer) return false;
  WarmUpDevices();
  return MoveTo(at);
}

bool WlrootsDesktop::PressButton(PointerButton button, bool down, Point at) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_parts.pointer) return false;
  WarmUpDevices();
  if (m_pointerAt != at && !MoveTo(at)) return false;
  const uint32_t code = ButtonCode(button);
  if (down) {
    m_heldButtons.insert(code);
  } else {
    m_heldButtons.erase(code);
  }
  return m_parts.pointer->Button(code, down) && m_parts.pointer->Frame();
}

bool WlrootsDesktop::Scroll(int32_t vertical, int32_t horizontal) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_parts.pointer) return false;
  WarmUpDevices();
  // The host's positive values scroll up and left; a wheel's positive steps go down and right.
  // One frame per step, as a wheel turned notch by notch gives them.
  const auto turn = [this](uint32_t axis, int32_t lines) {
    const int64_t count = std::llabs(int64_t{lines});
    const int32_t step = lines > 0 ? -1 : 1;
    for (int64_t i = 0; i < count; ++i) {
      if (!m_parts.pointer->WheelSteps(axis, step) || !m_parts.pointer->Frame()) return false;
    }
    return true;
  };
  return turn(0, vertical) && turn(1, horizontal);
}

bool WlrootsDesktop::PressKey(Keysym keysym, bool down) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_keyboard || !m_keyboardStarted) return false;
  WarmUpDevices();
  return m_keyboard->PressKey(keysym, down);
}

bool WlrootsDesktop::TypeCharacter(char32_t character, std::string_view upcoming) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_keyboard || !m_keyboardStarted) return false;
  WarmUpDevices();
  return m_keyboard->TypeCharacter(character, upcoming);
}

void WlrootsDesktop::Sleep(std::chrono::nanoseconds duration) {
  m_parts.sleep(duration);
}

std::optional<std::vector<TopLevelWindow>> WlrootsDesktop::ListOnScreenWindows() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_parts.windows) return std::nullopt;
  const std::optional<std::vector<CompositorWindow>> views = m_parts.windows->Windows();
  if (!views) return std::nullopt;
  const std::optional<OutputLayout> layout = Layout(m_parts.outputs);
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
  std::lock_guard<std::mutex> lock(m_mutex);
  const std::optional<OutputLayout> layout = Layout(m_parts.outputs);
  return layout ? layout->Displays() : std::vector<DesktopDisplay>{};
}

std::optional<CapturedImage> WlrootsDesktop::CaptureDisplayArea(uint32_t displayNumber,
                                                                const PixelRect& area) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_parts.capturer) return std::nullopt;
  const std::optional<OutputLayout> layout = Layout(m_parts.outputs);
  if (!layout) return std::nullopt;
  const OutputInfo* output = layout->Find(displayNumber);
  if (!output) return std::nullopt;
  const std::optional<PixelRect> clipped = OutputLayout::ClipToOutput(*output, area);
  if (!clipped) return std::nullopt;
  std::optional<CapturedImage> image = m_parts.capturer->Capture(output->id, *clipped);
  if (image) image->area = *clipped;
  return image;
}

std::string WlrootsDesktop::Missing(Capability capability) {
  std::lock_guard<std::mutex> lock(m_mutex);
  switch (capability) {
    case Capability::PointerAndButtons:
    case Capability::Wheel:
      return m_parts.pointer ? "" : "the compositor offers no zwlr_virtual_pointer_manager_v1";
    case Capability::KeysAndChords:
      if (!m_keyboard) return "the compositor offers no zwp_virtual_keyboard_manager_v1";
      return m_keyboardStarted ? "" : "the compositor did not take the host's keymap";
    case Capability::TextOutsideLayout:
      if (!m_keyboard || !m_keyboardStarted) return "no virtual keyboard (see keys and chords)";
      return m_parts.clipboard ? ""
                               : "the compositor offers no zwlr_data_control_manager_v1: emoji "
                                 "and other characters beyond U+FFFF cannot be typed";
    case Capability::BrowserWindowFrame:
      return m_parts.windows ? ""
                             : "no sway IPC socket (SWAYSOCK is not set, and none is in "
                               "XDG_RUNTIME_DIR): only sway tells where windows are";
    case Capability::DisplaysAndScale:
      return m_parts.outputs ? "" : "the compositor offers no zxdg_output_manager_v1";
    case Capability::Capture:
      return m_parts.capturer ? "" : "the compositor offers no zwlr_screencopy_manager_v1";
  }
  return "";
}

}  // namespace morel_xy::wlroots
