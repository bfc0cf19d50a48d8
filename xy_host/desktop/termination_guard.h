#pragma once

#include <functional>

namespace morel_xy {

// Lets go of held input when SIGTERM, SIGINT or SIGHUP ends the process. The program calls
// WatchTerminationSignals() once, from the main thread before any other thread starts: it
// blocks those signals there (every later thread inherits the block) and starts one thread
// that waits for them. On a signal that thread runs the release of every live guard, in the
// order they were made, and ends the process with 128 + the signal number. Without the watch,
// guards do nothing.
void WatchTerminationSignals();

// Registers `release` while the guard lives; a desktop that can hold keys or buttons owns one.
// The release runs on the watching thread while the request thread may be mid-call: it must
// take whatever lock keeps that thread out, and keep it, so that nothing is pressed after it.
//
// Thread-safety: guards may be made and destroyed on any thread; destruction waits for a
// release in progress.
class TerminationGuard {
 public:
  explicit TerminationGuard(std::function<void()> release);
  ~TerminationGuard();
  TerminationGuard(const TerminationGuard&) = delete;
  TerminationGuard& operator=(const TerminationGuard&) = delete;

 private:
  std::function<void()> m_release;
};

}  // namespace morel_xy
