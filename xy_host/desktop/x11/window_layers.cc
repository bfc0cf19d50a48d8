#include "desktop/x11/window_layers.h"

namespace morel_xy {

const std::vector<WindowTypeLayer>& WindowTypeLayers() {
  static const std::vector<WindowTypeLayer> kLayers = {
      {"_NET_WM_WINDOW_TYPE_NORMAL", kNormalLayer, false},
      {"_NET_WM_WINDOW_TYPE_DIALOG", kNormalLayer, false},
      {"_NET_WM_WINDOW_TYPE_DESKTOP", kNormalLayer, true},
      {"_NET_WM_WINDOW_TYPE_UTILITY", kFloatingLayer, false},
      {"_NET_WM_WINDOW_TYPE_TOOLBAR", kFloatingLayer, false},
      {"_NET_WM_WINDOW_TYPE_MENU", kFloatingLayer, false},
      {"_NET_WM_WINDOW_TYPE_SPLASH", kFloatingLayer, false},
      {"_NET_WM_WINDOW_TYPE_DOCK", kDockLayer, false},
      {"_NET_WM_WINDOW_TYPE_NOTIFICATION", kStatusLayer, false},
      {"_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", kPopUpMenuLayer, false},
      {"_NET_WM_WINDOW_TYPE_POPUP_MENU", kPopUpMenuLayer, false},
      {"_NET_WM_WINDOW_TYPE_COMBO", kPopUpMenuLayer, false},
      {"_NET_WM_WINDOW_TYPE_TOOLTIP", kHelpLayer, false},
      {"_NET_WM_WINDOW_TYPE_DND", kDraggingLayer, false},
  };
  return kLayers;
}

}  // namespace morel_xy
