#include "desktop/refusing_desktop.h"

#include "desktop/sleep_for.h"

namespace morel_xy {

void RefusingDesktop::Sleep(std::chrono::nanoseconds duration) {
  SleepFor(duration);
}

}  // namespace morel_xy
