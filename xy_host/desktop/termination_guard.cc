#include "desktop/termination_guard.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace morel_xy {
namespace {

// The live guards' releases, in the order the guards were made.
std::mutex gGuardsMutex;
std::vector<std::function<void()>*>& Releases() {
  static std::vector<std::function<void()>*> releases;
  return releases;
}

}  // namespace

void WatchTerminationSignals() {
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
      // Kept locked to the end, so no guard goes away while its release runs or after.
      gGuardsMutex.lock();
      for (std::function<void()>* release : Releases()) (*release)();
      _exit(128 + signal);
    }).detach();
  });
}

TerminationGuard::TerminationGuard(std::function<void()> release) : m_release(std::move(release)) {
  std::lock_guard<std::mutex> lock(gGuardsMutex);
  Releases().push_back(&m_release);
}

TerminationGuard::~TerminationGuard() {
  std::lock_guard<std::mutex> lock(gGuardsMutex);
  auto& releases = Releases();
  releases.erase(std::remove(releases.begin(), releases.end(), &m_release), releases.end());
}

}  // namespace morel_xy
