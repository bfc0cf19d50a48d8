#include "desktop/refusing_desktop.h"

#include "desktop/system_clock.h"

namespace morel_xy {

double RefusingDesktop::Now() {
  return WallClockSeconds();
}

void RefusingDesktop::Sleep(std::chrono::nanoseconds duration) {
  SleepFor(duration);
}

}  // namespace morel_xy
