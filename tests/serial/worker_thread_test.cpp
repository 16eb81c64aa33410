#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "worker_thread.h"

namespace {

std::atomic<int> gRuns{0};

class CountingThread final : public TThread {
 public:
  ~CountingThread() override { Join(); }

 protected:
  void Execute() override { gRuns.fetch_add(1); }
};

struct Refuses {
  Refuses() { throw std::runtime_error("no resources"); }
};

class FailingThread final : public TThread {
 public:
  ~FailingThread() override { Join(); }

 protected:
  void Execute() override { gRuns.fetch_add(1); }

 private:
  Refuses member_;
};

TEST(WorkerThread, RunsExecuteOnlyAfterResume) {
  gRuns = 0;
  CountingThread thread;
  EXPECT_EQ(gRuns.load(), 0);
  thread.Resume();
  EXPECT_TRUE(thread.WaitFor(10000));
  EXPECT_EQ(gRuns.load(), 1);
}

TEST(WorkerThread, WaitingForASuspendedThreadLetsItRunAndEnd) {
  gRuns = 0;
  CountingThread thread;
  EXPECT_TRUE(thread.WaitFor(10000));
  EXPECT_EQ(gRuns.load(), 1);
}

TEST(WorkerThread, ThreadOfAnObjectThatFailedToConstructNeverRunsExecute) {
  gRuns = 0;
  EXPECT_THROW(FailingThread(), std::runtime_error);
  EXPECT_EQ(gRuns.load(), 0);
}

}  // namespace
