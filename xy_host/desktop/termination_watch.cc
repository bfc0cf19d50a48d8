#include "desktop/termination_watch.h"

#include <signal.h>
#include <unistd.h>

#include <mutex>
#include <thread>
#include <vector>

namespace morel_xy {
namespace {

std::mutex gReleasesMutex;
std::vector<std::function<void()>>& Releases() {
  static std::vector<std::function<void()>> releases;
  return releases;
}

}  // namespace

void ReleaseOnTermination(std::function<void()> release) {
  {
    std::lock_guard<std::mutex> lock(gReleasesMutex);
    Releases().push_back(std::move(release));
  }
  static std::once_flag started;
  std::call_once(started, [] {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
      int signal = 0;
      while (sigwait(&signals, &signal) != 0) {
      }
      gReleasesMutex.lock();
      for (const std::function<void()>& each : Releases()) each();
      _exit(128 + signal);
    }).detach();
  });
}

}  // namespace morel_xy
