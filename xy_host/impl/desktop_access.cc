#include "impl/desktop_access.h"

#include "desktop/refusing_desktop.h"

namespace morel_xy::impl {
namespace {

RefusingDesktop gsRefusingDesktop;
Desktop* gsDesktop = &gsRefusingDesktop;

}  // namespace

void SetDesktop(Desktop* desktop) {
  gsDesktop = desktop ? desktop : &gsRefusingDesktop;
}

Desktop& GetDesktop() {
  return *gsDesktop;
}

}  // namespace morel_xy::impl
