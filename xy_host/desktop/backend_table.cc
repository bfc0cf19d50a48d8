#include "desktop/backend_table.h"

#include <vector>

#if MOREL_XY_X11
#include "desktop/x11/x11_desktop.h"
#endif
#if MOREL_XY_WLROOTS
#include "desktop/wlroots/open_wlroots_desktop.h"
#endif

namespace morel_xy {

std::span<const Backend> BuiltInBackends() {
  static const std::vector<Backend> backends = {
#if MOREL_XY_X11
    x11::X11_BACKEND,
#endif
#if MOREL_XY_WLROOTS
    wlroots::WLROOTS_BACKEND,
#endif
  };
  return backends;
}

}  // namespace morel_xy
