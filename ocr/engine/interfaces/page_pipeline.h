#pragma once

#include <cstddef>
#include <functional>

namespace ocr::engine {

// Runs the pages of a document through two stages on threads of its own: `prepare`, one
// page after another in page order (rendering), and `work`, on up to `workers` pages at once
// (recognition), while the caller takes the pages back strictly in order. A page is prepared
// at most `ahead` places beyond the last one taken back, which bounds what prepared pages
// hold in memory. The driver's logic stays single-threaded: it only starts, awaits and
// finishes, and reads what the stages wrote for a page once that page has been awaited.
class PagePipeline {
 public:
  struct Stages {
    // Prepares item i. False ends the run after i: no later item is prepared, and i is not
    // worked on. Called on one thread, for i = 0, 1, ... in order.
    std::function<bool(size_t i)> prepare;
    // Works on prepared item i as worker `worker` (0 <= worker < workers). Items on different
    // workers run at the same time; a worker runs one item at a time, so whatever the stage
    // keeps per worker is used by one thread at a time.
    std::function<void(size_t i, int worker)> work;
  };

  virtual ~PagePipeline() = default;
  // The threads this process may run at once (its CPU affinity), at least 1.
  virtual int MaxWorkers() const = 0;
  // Starts a run over items 0 .. count-1 with workers >= 1 and ahead >= 1. One run at a
  // time: Finish ends it before the next Start.
  virtual void Start(size_t count, int workers, size_t ahead, Stages stages) = 0;
  // Blocks until item i is done: prepared and worked on, or prepared with false (or never
  // prepared because an earlier item ended the run). Items are awaited once each, in order
  // 0, 1, ...; what the stages wrote for i is visible to the caller when this returns.
  virtual void Await(size_t i) = 0;
  // Starts no more stage calls and returns once every call in progress has returned. Must
  // be called before the state the stages write to is destroyed; safe to call twice.
  virtual void Finish() = 0;
};

}  // namespace ocr::engine
