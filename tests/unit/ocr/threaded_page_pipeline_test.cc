#include "engine/pipeline/threaded_page_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace ocr::engine {
namespace {

using std::chrono::microseconds;

// Work that takes a random while, so that items finish out of order.
struct Recorder {
  explicit Recorder(size_t count) : prepared(count, 0), worked(count, -1) {}
  std::vector<int> prepared;        // written by the preparing thread
  std::vector<int> worked;          // the worker that worked on the item
  std::atomic<int> outstanding{0};  // prepared, not yet awaited
  std::atomic<int> mostOutstanding{0};
  std::vector<std::atomic<int>> busy = std::vector<std::atomic<int>>(16);
  std::atomic<bool> workerShared{false};
};

TEST(ThreadedPagePipelineTest, ItemsComeBackInOrderWithTheirWorkDoneAndTheWindowKept) {
  constexpr size_t kItems = 60;
  constexpr int kWorkers = 4;
  constexpr size_t kAhead = 5;
  Recorder r(kItems);
  std::mt19937 random(7);
  std::vector<int> delays(kItems);
  for (int& d : delays) d = static_cast<int>(random() % 400);
  ThreadedPagePipeline pipeline;
  EXPECT_GE(pipeline.MaxWorkers(), 1);
  PagePipeline::Stages stages;
  stages.prepare = [&](size_t i) {
    r.prepared[i] = 1;
    const int now = ++r.outstanding;
    int most = r.mostOutstanding.load();
    while (now > most && !r.mostOutstanding.compare_exchange_weak(most, now)) {
    }
    return true;
  };
  stages.work = [&](size_t i, int worker) {
    if (r.busy[worker]++ != 0) r.workerShared = true;
    std::this_thread::sleep_for(microseconds(delays[i]));
    r.worked[i] = worker;
    --r.busy[worker];
  };
  pipeline.Start(kItems, kWorkers, kAhead, std::move(stages));
  for (size_t i = 0; i < kItems; ++i) {
    pipeline.Await(i);
    // Visible here, written on other threads.
    EXPECT_EQ(r.prepared[i], 1) << i;
    EXPECT_GE(r.worked[i], 0) << i;
    EXPECT_LT(r.worked[i], kWorkers) << i;
    --r.outstanding;
  }
  pipeline.Finish();
  EXPECT_FALSE(r.workerShared) << "a worker ran two items at once";
  EXPECT_LE(r.mostOutstanding.load(), static_cast<int>(kAhead) + 1);
}

TEST(ThreadedPagePipelineTest, AFailedPreparationEndsTheRunAfterIt) {
  constexpr size_t kItems = 20;
  std::vector<int> prepared(kItems, 0), worked(kItems, 0);
  ThreadedPagePipeline pipeline;
  PagePipeline::Stages stages;
  stages.prepare = [&](size_t i) {
    prepared[i] = 1;
    return i != 6;
  };
  stages.work = [&](size_t i, int) { worked[i] = 1; };
  pipeline.Start(kItems, 3, 4, std::move(stages));
  for (size_t i = 0; i < kItems; ++i) pipeline.Await(i);  // items after 6 are done at once
  pipeline.Finish();
  for (size_t i = 0; i < kItems; ++i) {
    EXPECT_EQ(prepared[i], i <= 6 ? 1 : 0) << i;
    EXPECT_EQ(worked[i], i < 6 ? 1 : 0) << i;
  }
}

TEST(ThreadedPagePipelineTest, FinishingEarlyWaitsForRunningWorkAndStartsNoMore) {
  constexpr size_t kItems = 100;
  std::atomic<int> running{0}, started{0};
  std::atomic<bool> overlapAfterFinish{false};
  std::atomic<bool> finished{false};
  ThreadedPagePipeline pipeline;
  PagePipeline::Stages stages;
  stages.prepare = [&](size_t) { return true; };
  stages.work = [&](size_t, int) {
    if (finished) overlapAfterFinish = true;
    ++started;
    ++running;
    std::this_thread::sleep_for(microseconds(2000));
    --running;
  };
  pipeline.Start(kItems, 2, 3, std::move(stages));
  pipeline.Await(0);
  pipeline.Finish();
  finished = true;
  EXPECT_EQ(running.load(), 0);
  EXPECT_LT(started.load(), 10);  // the window stopped the rest
  std::this_thread::sleep_for(microseconds(5000));
  EXPECT_FALSE(overlapAfterFinish);

  // The same pipeline runs again, and an empty run needs nothing.
  std::vector<int> worked(3, 0);
  stages.prepare = [&](size_t) { return true; };
  stages.work = [&](size_t i, int) { worked[i] = 1; };
  pipeline.Start(3, 1, 1, stages);
  for (size_t i = 0; i < 3; ++i) pipeline.Await(i);
  pipeline.Finish();
  EXPECT_EQ(worked, (std::vector<int>{1, 1, 1}));
  pipeline.Start(0, 4, 5, stages);
  pipeline.Await(0);
  pipeline.Finish();
}

}  // namespace
}  // namespace ocr::engine
