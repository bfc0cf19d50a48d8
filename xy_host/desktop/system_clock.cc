#include "desktop/system_clock.h"

#include <cerrno>
#include <ctime>

namespace morel_xy {

double WallClockSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void SleepFor(std::chrono::nanoseconds duration) {
  if (duration.count() <= 0) return;
  timespec request{};
  request.tv_sec = static_cast<time_t>(duration.count() / 1'000'000'000);
  request.tv_nsec = static_cast<long>(duration.count() % 1'000'000'000);
  // A signal must not cut the pacing short.
  while (nanosleep(&request, &request) == -1 && errno == EINTR) {
  }
}

}  // namespace morel_xy
