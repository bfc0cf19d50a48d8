#include "desktop/sleep_for.h"

#include <cerrno>
#include <ctime>

namespace morel_xy {

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
