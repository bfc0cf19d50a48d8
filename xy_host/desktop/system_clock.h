#pragma once

#include <chrono>

namespace morel_xy {

// The real clock shared by every desktop: wall-clock seconds and a thread sleep.
double WallClockSeconds();
void SleepFor(std::chrono::nanoseconds duration);

}  // namespace morel_xy
