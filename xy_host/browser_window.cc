#include "browser_window.h"

#include "impl/windows.h"

namespace morel_xy {

bool GetActiveBrowserOuterRect(Rect& rect) {
  return impl::GetActiveBrowserOuterRect(rect);
}

}  // namespace morel_xy
