#include "impl/input_setup.h"

#include "impl/desktop_access.h"

namespace morel_xy::impl {
namespace detail {

int32_t gsClickCount = 0;
double gsLastClickTime = 0.0;
int32_t gsEventNumber = 0;
int32_t gsButtonEventNumber[3] = {0, 0, 0};
MouseEvent gsLastMouseEvent{};

namespace {
bool setupDone = false;
}  // namespace

void ResetInputSetupForTesting() {
  setupDone = false;
  gsClickCount = 0;
  gsLastClickTime = 0.0;
  gsEventNumber = 0;
  gsButtonEventNumber[0] = gsButtonEventNumber[1] = gsButtonEventNumber[2] = 0;
  gsLastMouseEvent = MouseEvent{};
}

}  // namespace detail

bool Init() {
  using namespace detail;
  if (setupDone) return true;
  setupDone = true;

  GetDesktop().ConfigureSyntheticInput();

  gsClickCount = 0;
  gsLastClickTime = 0.0;
  gsEventNumber = 32000;
  gsButtonEventNumber[0] = gsButtonEventNumber[1] = gsButtonEventNumber[2] = 32000;
  return true;
}

}  // namespace morel_xy::impl
