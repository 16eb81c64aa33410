#include "worker_thread.h"

#include <chrono>

#include "serial_platform.h"

TThread::TThread() : thread_(&TThread::Run, this) {}

TThread::~TThread() {
  // Reached without a derived destructor's Join only when the derived part
  // failed to construct: the thread then ends without running Execute.
  {
    std::lock_guard lock(mutex_);
    if (!resumed_) abandoned_ = resumed_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void TThread::Run() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return resumed_; });
    if (abandoned_) return;
  }
  if (priority_ != 0) serial_platform::RaiseCurrentThreadPriority(priority_);
  Execute();
  std::lock_guard lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

void TThread::Resume() {
  std::lock_guard lock(mutex_);
  resumed_ = true;
  changed_.notify_all();
}

bool TThread::WaitFor(uint32_t timeoutMs) {
  Resume();
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return finished_; });
}

void TThread::Join() {
  if (!thread_.joinable()) return;
  Resume();
  thread_.join();
}
