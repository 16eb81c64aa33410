#pragma once
// A worker thread created suspended: the thread exists from construction, so
// a creation failure surfaces before anything starts, but runs Execute only
// after Resume.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class TThread {
 public:
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Priority steps above normal, applied by the thread as it starts.
  void SetPriority(int level) { priority_ = level; }
  void Resume();
  // True when the thread has ended within timeoutMs. A thread never resumed
  // is resumed first, so that it can see its stop request and end.
  bool WaitFor(uint32_t timeoutMs);
  void Terminate() { terminated_.store(true); }
  bool Terminated() const { return terminated_.load(); }

 protected:
  // Throws std::system_error when the system refuses a new thread.
  TThread();
  virtual void Execute() = 0;
  // Waits without a limit for the thread to end; every derived destructor
  // calls it first, since Execute uses the derived object.
  void Join();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  bool resumed_ = false;
  bool finished_ = false;
  bool abandoned_ = false;
  std::atomic<bool> terminated_{false};
  int priority_ = 0;
  std::thread thread_;
};
