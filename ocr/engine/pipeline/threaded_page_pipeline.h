#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/interfaces/page_pipeline.h"

namespace ocr::engine {

// The pipeline on std::threads: one preparing thread, `workers` working threads, all
// started by Start and joined by Finish.
class ThreadedPagePipeline final : public PagePipeline {
 public:
  ThreadedPagePipeline();
  ~ThreadedPagePipeline() override;

  int MaxWorkers() const override { return maxWorkers_; }
  void Start(size_t count, int workers, size_t ahead, Stages stages) override;
  void Await(size_t i) override;
  void Finish() override;

 private:
  void Prepare();
  void Work(int worker);

  int maxWorkers_;
  Stages stages_;
  size_t count_ = 0;
  size_t ahead_ = 1;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  size_t awaited_ = 0;        // items 0 .. awaited_-1 have been taken back
  size_t preparedEnd_ = 0;    // items below this are prepared (or will never be)
  size_t lastItem_ = 0;       // one past the last item that may be prepared
  std::deque<size_t> ready_;  // prepared, waiting for a worker
  std::vector<bool> done_;
  std::vector<std::thread> threads_;
};

// The CPUs this process may run on (sched_getaffinity), at least 1.
int UsableCores();

}  // namespace ocr::engine
