#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/keysyms.h"

namespace morel_xy {

// Every position and frame that crosses this interface is in one space: global points, with
// the origin at the top-left corner of the main display and y growing downwards. A point is a
// device pixel divided by the scale of its display (DesktopDisplay::scale). Only captures are in
// pixels.
struct Point {
  double x = 0;
  double y = 0;

  bool operator==(const Point&) const = default;
};

// A rectangle in global points.
struct PointRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  bool operator==(const PointRect&) const = default;
};

// A rectangle of whole device pixels.
struct PixelRect {
  int64_t x = 0;
  int64_t y = 0;
  int64_t width = 0;
  int64_t height = 0;

  bool operator==(const PixelRect&) const = default;
};

enum class PointerButton : uint8_t { Left, Middle, Right };

// One top-level window as the user sees it: mapped, not minimised, not part of the desktop
// itself (backgrounds, docks and panels are never listed).
struct TopLevelWindow {
  int32_t pid = 0;            // the owning process; 0 when the window system does not know it
  std::string applicationId;  // X11: the WM_CLASS class (its instance when it has no class);
                              // Wayland: the app id. Empty when the window has none.
  std::string title;          // UTF-8; empty when the window has none
  bool normal = false;        // a normal or dialog window, as opposed to menus, utilities
  PointRect frame;            // the outer frame, decorations included

  bool operator==(const TopLevelWindow&) const = default;
};

// One display (a monitor of X11's RandR, an output of Wayland).
struct DesktopDisplay {
  uint32_t number = 0;  // stable for the display's life, unique among the displays
  std::string name;     // the monitor's product name, else the connector's name
  bool main = false;    // exactly one display is the main one
  double scale = 1.0;   // device pixels per point
  PointRect frame;      // the whole display
  PointRect workArea;   // the part not covered by panels and docks (the frame when unknown)

  bool operator==(const DesktopDisplay&) const = default;
};

// Pixels of a capture: 4 bytes per pixel in the order B, G, R, unused (the 32-bit layout
// X11 and Wayland use on little-endian machines), rows from the top, `bytesPerRow` apart.
// `area` is the part of the display they show, in device pixels from the display's top-left
// corner: the area asked for, clipped to the display.
struct CapturedImage {
  int32_t width = 0;
  int32_t height = 0;
  size_t bytesPerRow = 0;
  std::vector<uint8_t> bgrx;
  PixelRect area;
};

// What the host needs of a window system: synthetic pointer and keyboard input, the windows,
// the displays and captures of them. One implementation per window system (one folder each
// beside this file), one that refuses everything, and a fake for tests. Which window belongs to
// which browser, and everything else the host decides, is decided above this interface.
//
// Thread-safety: every method is called from the host's single request thread. Methods report
// failure as stated and never throw; an implementation that loses its window-system connection
// keeps answering with failures.
class Desktop {
 public:
  // The most lines Scroll is asked to turn an axis by, in either direction.
  static constexpr int32_t kMaxWheelLines = 1000;

  virtual ~Desktop() = default;

  // --- Input ---

  // Moves the pointer to `at`. False when the event could not be posted.
  virtual bool MovePointer(Point at) = 0;
  // Presses (`down`) or releases `button` with the pointer at `at`, moving it there first if it
  // is elsewhere. The window system counts double clicks itself. False on failure.
  virtual bool PressButton(PointerButton button, bool down, Point at) = 0;
  // Turns the wheel by whole lines (at most kMaxWheelLines either way) at the pointer: positive
  // `vertical` scrolls up, positive `horizontal` scrolls left. False on failure.
  virtual bool Scroll(int32_t vertical, int32_t horizontal) = 0;

  // Presses or releases the key that produces `keysym`, wherever the current layout has it
  // (a key is its key on any level: no Shift is added). Modifier keys are keys too: a chord is
  // its modifiers pressed around its key. False when no key can produce the keysym, or on
  // failure.
  virtual bool PressKey(Keysym keysym, bool down) = 0;
  // Types one Unicode character (press and release), whatever the layout: with Shift where the
  // character needs it, through keys remapped for the purpose, or any other way the window
  // system offers. `upcoming` is the text that will be typed right after it, in UTF-8, possibly
  // cut short: an implementation that must prepare keys for characters may prepare many at
  // once. False when the character cannot be typed, or on failure.
  virtual bool TypeCharacter(char32_t character, std::string_view upcoming) = 0;

  // Blocks the calling thread for `duration` (the pacing between synthetic events).
  virtual void Sleep(std::chrono::nanoseconds duration) = 0;

  // --- Windows ---

  // The top-level windows, front to back (where the window system keeps no stacking order,
  // the most recently focused first). nullopt when the window system refuses the list.
  virtual std::optional<std::vector<TopLevelWindow>> ListOnScreenWindows() = 0;

  // --- Displays ---

  // The displays in the window system's order; empty when there are none.
  virtual std::vector<DesktopDisplay> ListDisplays() = 0;
  // Captures `area` (device pixels relative to the display's top-left corner) of a display's
  // current contents, clipped to the display; the image's `area` says what was kept. nullopt
  // when the display is unknown, nothing of the area lies on it, or the capture fails.
  virtual std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                          const PixelRect& area) = 0;
};

}  // namespace morel_xy
