#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morel_xy {

// A rectangle of floating-point values; what the coordinates mean is given where it is used.
struct PlatformRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  bool operator==(const PlatformRect&) const = default;
};

// A rectangle of whole device pixels.
struct PixelRect {
  int64_t x = 0;
  int64_t y = 0;
  int64_t width = 0;
  int64_t height = 0;

  bool operator==(const PixelRect&) const = default;
};

// Mouse event types, numbered as the extension's host contract has always numbered them.
enum class PlatformMouseEventType : int32_t {
  LeftMouseDown = 1,
  LeftMouseUp = 2,
  RightMouseDown = 3,
  RightMouseUp = 4,
  MouseMoved = 5,
  OtherMouseDown = 25,
  OtherMouseUp = 26,
};

// One synthetic mouse event. `x` and `y` are in points, global coordinates with the origin at
// the top-left corner of the main display, y growing downwards. `button` is 0 (left),
// 1 (right) or 2 (middle). Click state and event number are computed by the host's logic; a
// backend whose window system counts clicks itself keeps them only as a record.
struct PostedMouseEvent {
  PlatformMouseEventType type = PlatformMouseEventType::MouseMoved;
  int32_t button = 0;
  double x = 0;
  double y = 0;
  int64_t clickState = 0;
  int64_t eventNumber = 0;

  bool operator==(const PostedMouseEvent&) const = default;
};

// One scroll event in lines. Wheel 1 is the vertical axis, wheel 2 the horizontal one;
// positive values scroll up (wheel 1) or left (wheel 2).
struct PostedScrollEvent {
  int32_t wheel1 = 0;
  int32_t wheel2 = 0;
  int32_t wheel3 = 0;

  bool operator==(const PostedScrollEvent&) const = default;
};

// Modifier flags carried by key events (the values of the host's key vocabulary).
inline constexpr uint64_t kFlagControl = 0x40000;
inline constexpr uint64_t kFlagAlternate = 0x80000;
inline constexpr uint64_t kFlagShift = 0x20000;
inline constexpr uint64_t kFlagCommand = 0x100000;

// One key transition of a virtual key code (the host's key vocabulary: the codes of
// SPECIAL_KEY_MAP and the four modifier keys 59, 58, 56, 55). `flags` is the full flag set of
// the event: on a key-down the chord's modifiers are in it, on the key-up they are not.
struct PostedKeyEvent {
  uint16_t virtualKey = 0;
  bool down = false;
  uint64_t flags = 0;

  bool operator==(const PostedKeyEvent&) const = default;
};

// One key transition that types text: one character as one UTF-16 code unit, or as two when
// it is a surrogate pair.
struct PostedUnicodeKeyEvent {
  bool down = false;
  std::u16string units;

  bool operator==(const PostedUnicodeKeyEvent&) const = default;
};

// One entry of the on-screen window list. Every member but the owner may be missing, as the
// window system may not know it; the host skips windows with a missing member.
struct OnScreenWindow {
  int32_t ownerPid = 0;  // 0 when the owner is unknown
  std::optional<int32_t> windowNumber;
  std::optional<std::string> name;  // UTF-8 title
  std::optional<int32_t> layer;     // 0 for normal and dialog windows
  // The outer frame in points, global coordinates, origin at the top-left of the main display.
  std::optional<PlatformRect> bounds;
};

// One display. Frames are in points in the global space whose origin is the bottom-left
// corner of the main display, y growing upwards.
struct Screen {
  uint32_t displayNumber = 0;
  std::string name;
  double backingScaleFactor = 1.0;
  PlatformRect frame;
  PlatformRect visibleFrame;
};

// Pixels of a capture: R, G, B, A bytes per pixel, rows from the top, `bytesPerRow` apart.
struct CapturedImage {
  int32_t width = 0;
  int32_t height = 0;
  size_t bytesPerRow = 0;
  std::vector<uint8_t> rgba;
};

// The platform services the host uses: synthetic input, clock, applications, windows,
// displays and capture. One implementation per window system, plus a fake for tests.
//
// Thread-safety: every method is called from the host's single request thread. Methods
// report failure as stated and never throw; an implementation that loses its window-system
// connection keeps answering with failures.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Applies the window system's settings for mixing synthetic with the user's own input.
  // Called once, before the first request.
  virtual void ConfigureSyntheticInput() = 0;

  // Posts one mouse event. False when the event could not be created or posted.
  virtual bool PostMouseEvent(const PostedMouseEvent& event) = 0;
  // Posts one scroll event at the current pointer position. False on failure.
  virtual bool PostScrollEvent(const PostedScrollEvent& event) = 0;
  // Posts one key transition of a virtual key. False on failure (an unknown key included).
  virtual bool PostKeyEvent(const PostedKeyEvent& event) = 0;
  // Posts one key transition typing `event.units`. False on failure.
  virtual bool PostUnicodeKeyEvent(const PostedUnicodeKeyEvent& event) = 0;

  // Wall-clock time in seconds since a fixed reference date.
  virtual double Now() = 0;
  // Blocks the calling thread for `duration`.
  virtual void Sleep(std::chrono::nanoseconds duration) = 0;
  // The user's double-click interval in seconds.
  virtual double DoubleClickInterval() = 0;

  // The process id of the first running application with that bundle identifier
  // ("com.google.Chrome", "org.mozilla.firefox"), or -1 when none runs.
  virtual int32_t GetApplicationPid(const std::string& bundleId) = 0;
  // The on-screen windows, front to back, desktop elements excluded; nullopt when the
  // window system refuses the list.
  virtual std::optional<std::vector<OnScreenWindow>> ListOnScreenWindows() = 0;

  // The displays in the window system's order; empty when there are none.
  virtual std::vector<Screen> ListScreens() = 0;
  // The number of the main display (0 when there is none).
  virtual uint32_t MainDisplayNumber() = 0;
  // Pixels per point of the main display; 0.0 when there is no main display.
  virtual double MainScreenBackingScaleFactor() = 0;
  // Captures `area` (pixels relative to the display's top-left corner) of a display's
  // current contents, clipped to the display. nullopt when the display is unknown, nothing
  // of the area lies on it, or the capture fails.
  virtual std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                          const PixelRect& area) = 0;
};

}  // namespace morel_xy
