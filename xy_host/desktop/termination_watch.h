#pragma once

#include <functional>

namespace morel_xy {

// Lets go of held input when SIGTERM, SIGINT or SIGHUP ends the process: one thread waits for
// those signals, runs every registered release in the order registered, and ends the process
// with 128 + the signal number. A release takes whatever lock keeps its desktop's request
// thread out and keeps it: nothing may be pressed after the release.
//
// The first call blocks the signals in the calling thread: make it from the main thread before
// any other thread starts, so that every thread inherits the block and the signals reach only
// the waiting thread.
void ReleaseOnTermination(std::function<void()> release);

}  // namespace morel_xy
