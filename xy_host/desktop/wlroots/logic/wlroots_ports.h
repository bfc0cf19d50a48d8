#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/desktop.h"

// The seams of the wlroots desktop: each Wayland object (or the compositor's IPC) the desktop's
// logic drives, as a small interface. The real ones speak the protocols; the unit tests hand in
// fakes. None of them throws; each reports failure as stated.
namespace morel_xy::wlroots {

// A pointer device of the compositor (zwlr_virtual_pointer_v1). Events take effect at the next
// Frame(), as a real pointer's do.
class PointerDevice {
 public:
  virtual ~PointerDevice() = default;
  // Moves the pointer to `x` / `xExtent` of the layout's width and `y` / `yExtent` of its
  // height, from its top-left corner.
  virtual bool MoveAbsolute(uint32_t x, uint32_t y, uint32_t xExtent, uint32_t yExtent) = 0;
  // `button` is a Linux input event code (BTN_LEFT ...).
  virtual bool Button(uint32_t button, bool down) = 0;
  // One wheel step on `axis` (0 vertical, 1 horizontal), as a wheel gives it: `steps` notches,
  // positive down / right.
  virtual bool WheelSteps(uint32_t axis, int32_t steps) = 0;
  virtual bool Frame() = 0;
};

// A keyboard device of the compositor (zwp_virtual_keyboard_v1) that reads its keys in the
// keymap its client gives it.
class KeyboardDevice {
 public:
  virtual ~KeyboardDevice() = default;
  // Replaces the keymap (XKB text). True once the compositor has taken it (a round trip).
  virtual bool SetKeymap(const std::string& xkbKeymap) = 0;
  // `keycode` is a Linux input event code (XKB keycode - 8).
  virtual bool Key(uint32_t keycode, bool down) = 0;
  // The depressed modifier mask in the current keymap's terms.
  virtual bool Modifiers(uint32_t depressed) = 0;
};

// What a selection holds: each MIME type it is offered as, with its bytes.
struct ClipboardContents {
  std::vector<std::pair<std::string, std::string>> formats;

  bool operator==(const ClipboardContents&) const = default;
};

// The seat's clipboard (the regular selection) through zwlr_data_control_v1.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // What the clipboard holds now (no formats when it is empty); nullopt when it cannot be
  // read in time or holds more than the implementation keeps.
  virtual std::optional<ClipboardContents> Read() = 0;
  // Makes `contents` the selection, served by this client, or empties the selection when it
  // has no formats; drops a pending SetLater. False on failure.
  virtual bool Set(const ClipboardContents& contents) = 0;
  // Does the same once `delay` has passed, in the background; a later call replaces it.
  virtual bool SetLater(const ClipboardContents& contents, std::chrono::milliseconds delay) = 0;
  // Drops a SetLater that has not taken effect: true when one was dropped, false when none was
  // pending any more.
  virtual bool CancelLater() = 0;
  // Waits until clients have been sent the selection set last more than `reads` times in all,
  // or until `timeout` has passed. How many times it has been sent by then; nullopt when the
  // compositor is gone.
  virtual std::optional<uint64_t> WaitForReads(uint64_t reads,
                                               std::chrono::milliseconds timeout) = 0;
};

// One output as the compositor describes it.
struct OutputInfo {
  uint32_t id = 0;        // the wl_output global's name: stable while the output exists
  std::string connector;  // "DP-1", "HEADLESS-1"
  std::string model;      // the product name, when the output reports one
  int32_t x = 0;          // logical position and size in the compositor's layout
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pixelWidth = 0;  // the current mode, as the layout sees it (rotation applied)
  int32_t pixelHeight = 0;
  int32_t integerScale = 1;  // what wl_output reports (rounded up for fractional scales)

  bool operator==(const OutputInfo&) const = default;
};

// The outputs of the compositor.
class OutputSource {
 public:
  virtual ~OutputSource() = default;
  // The outputs known now, with their logical geometry; nullopt when the compositor is gone.
  virtual std::optional<std::vector<OutputInfo>> Outputs() = 0;
};

// Pixels of an output as the compositor copied them.
class ScreenCapturer {
 public:
  virtual ~ScreenCapturer() = default;
  // `area` in device pixels of output `outputId`, inside the output. nullopt when the output is
  // gone or the copy fails.
  virtual std::optional<CapturedImage> Capture(uint32_t outputId, const PixelRect& area) = 0;
};

// One application window as the compositor describes it.
struct CompositorWindow {
  int32_t pid = 0;            // 0 when unknown
  std::string applicationId;  // the Wayland app id; for an X client of Xwayland its WM_CLASS class
  std::string title;
  bool visible = false;  // on a workspace shown on some output, not hidden in a tab or stack
  bool normal = true;    // false for X utility windows, splash screens, toolbars and the like
  PointRect rect;        // the outer frame in the layout's logical coordinates, borders included

  bool operator==(const CompositorWindow&) const = default;
};

// The compositor's windows (sway's IPC).
class WindowSource {
 public:
  virtual ~WindowSource() = default;
  // The application windows, the most recently focused first; nullopt when no IPC answers or
  // its answer is not a window tree.
  virtual std::optional<std::vector<CompositorWindow>> Windows() = 0;
};

}  // namespace morel_xy::wlroots
