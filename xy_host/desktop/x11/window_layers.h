#pragma once

#include <cstdint>
#include <vector>

namespace morel_xy {

// Window layers as the host has always numbered them: 0 is where normal windows live; the
// other values order panels, docks, menus and the like above them.
inline constexpr int32_t kNormalLayer = 0;
inline constexpr int32_t kFloatingLayer = 3;
inline constexpr int32_t kDockLayer = 20;
inline constexpr int32_t kStatusLayer = 25;
inline constexpr int32_t kPopUpMenuLayer = 101;
inline constexpr int32_t kHelpLayer = 200;
inline constexpr int32_t kDraggingLayer = 500;

// One EWMH window type (_NET_WM_WINDOW_TYPE_...) and its layer; desktop elements are left out
// of the window list altogether.
struct WindowTypeLayer {
  const char* typeName;
  int32_t layer;
  bool desktopElement;
};

// Every EWMH window type: normal and dialog windows on layer 0, the rest above.
const std::vector<WindowTypeLayer>& WindowTypeLayers();

}  // namespace morel_xy
