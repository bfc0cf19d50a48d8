#include "engine/pipeline/threaded_page_pipeline.h"

#include <sched.h>

#include <algorithm>

namespace ocr::engine {

int UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  return std::max(1, CPU_COUNT(&set));
}

ThreadedPagePipeline::ThreadedPagePipeline() : maxWorkers_(UsableCores()) {}

ThreadedPagePipeline::~ThreadedPagePipeline() {
  Finish();
}

void ThreadedPagePipeline::Start(size_t count, int workers, size_t ahead, Stages stages) {
  Finish();
  stages_ = std::move(stages);
  count_ = count;
  ahead_ = std::max<size_t>(1, ahead);
  stopping_ = false;
  awaited_ = 0;
  preparedEnd_ = 0;
  lastItem_ = count;
  ready_.clear();
  done_.assign(count, false);
  if (count == 0) return;
  threads_.emplace_back(&ThreadedPagePipeline::Prepare, this);
  for (int worker = 0; worker < std::max(1, workers); ++worker) {
    threads_.emplace_back(&ThreadedPagePipeline::Work, this, worker);
  }
}

void ThreadedPagePipeline::Prepare() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (size_t i = 0; i < lastItem_; ++i) {
    changed_.wait(lock, [&] { return stopping_ || i < awaited_ + ahead_; });
    if (stopping_) return;
    lock.unlock();
    const bool prepared = stages_.prepare(i);
    lock.lock();
    preparedEnd_ = i + 1;
    if (prepared) {
      ready_.push_back(i);
    } else {
      // The run ends here: this item is done as it is, and no later one will come.
      done_[i] = true;
      lastItem_ = i + 1;
    }
    changed_.notify_all();
  }
}

void ThreadedPagePipeline::Work(int worker) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    changed_.wait(lock, [&] { return stopping_ || !ready_.empty() || preparedEnd_ >= lastItem_; });
    if (stopping_) return;
    if (ready_.empty()) return;  // everything that will be prepared has been taken
    const size_t item = ready_.front();
    ready_.pop_front();
    lock.unlock();
    stages_.work(item, worker);
    lock.lock();
    done_[item] = true;
    changed_.notify_all();
  }
}

void ThreadedPagePipeline::Await(size_t i) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (i >= count_) return;
  // An item past the end of a run that stopped early is never prepared: it is done.
  changed_.wait(lock, [&] { return done_[i] || i >= lastItem_; });
  awaited_ = std::max(awaited_, i + 1);
  changed_.notify_all();
}

void ThreadedPagePipeline::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  ready_.clear();
}

}  // namespace ocr::engine
