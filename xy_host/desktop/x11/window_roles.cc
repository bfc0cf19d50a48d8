#include "desktop/x11/window_roles.h"

namespace morel_xy::x11 {

const std::vector<WindowTypeRole>& WindowTypeRoles() {
  using R = WindowRole;
  static const std::vector<WindowTypeRole> kRoles = {
      {"_NET_WM_WINDOW_TYPE_NORMAL", R::kNormal},
      {"_NET_WM_WINDOW_TYPE_DIALOG", R::kNormal},
      {"_NET_WM_WINDOW_TYPE_DESKTOP", R::kDesktopElement},
      {"_NET_WM_WINDOW_TYPE_UTILITY", R::kOther},
      {"_NET_WM_WINDOW_TYPE_TOOLBAR", R::kOther},
      {"_NET_WM_WINDOW_TYPE_MENU", R::kOther},
      {"_NET_WM_WINDOW_TYPE_SPLASH", R::kOther},
      {"_NET_WM_WINDOW_TYPE_DOCK", R::kOther},
      {"_NET_WM_WINDOW_TYPE_NOTIFICATION", R::kOther},
      {"_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", R::kOther},
      {"_NET_WM_WINDOW_TYPE_POPUP_MENU", R::kOther},
      {"_NET_WM_WINDOW_TYPE_COMBO", R::kOther},
      {"_NET_WM_WINDOW_TYPE_TOOLTIP", R::kOther},
      {"_NET_WM_WINDOW_TYPE_DND", R::kOther},
  };
  return kRoles;
}

}  // namespace morel_xy::x11
