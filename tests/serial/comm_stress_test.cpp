#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "comm_harness.h"
#include "pty_pair.h"

namespace {

size_t CountEntries(const char* path) {
  size_t n = 0;
  DIR* dir = ::opendir(path);
  if (dir == nullptr) return 0;
  while (dirent* entry = ::readdir(dir)) n += entry->d_name[0] != '.';
  ::closedir(dir);
  return n;
}

// The kernel wakes a joining thread before it has removed the ended thread's
// entry, so a thread joined a moment ago can still be listed; give the count
// time to settle before comparing.
size_t SettledCount(const char* path, size_t expected) {
  const auto end = std::chrono::steady_clock::now() + kPatience;
  size_t n = CountEntries(path);
  while (n != expected && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    n = CountEntries(path);
  }
  return n;
}

void Drain(int fd) {
  uint8_t buffer[4096];
  while (::read(fd, buffer, sizeof buffer) > 0) {
  }
}

TEST(CommStress, OpenCloseCyclesWithDataFlowingLeaveNothingBehind) {
  PtyPair pty;
  ::fcntl(pty.Master(), F_SETFL, ::fcntl(pty.Master(), F_GETFL) | O_NONBLOCK);
  TComm comm;
  CommRecorder recorder(comm);
  comm.SetCommName(pty.SlavePath());
  const std::vector<uint8_t> out = TextPattern(64, 7);

  auto cycle = [&](int i) {
    comm.StartComm();
    pty.Write(TextPattern(64, static_cast<unsigned>(i)));
    ASSERT_TRUE(comm.WriteCommData(out.data(), static_cast<uint16_t>(out.size())));
    // Every tenth cycle lets a chunk through; the others stop mid-flow.
    if (i % 10 == 0) {
      const size_t before = recorder.Count(kNotifyReceiveData);
      ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifyReceiveData) > before; }, kPatience));
    }
    comm.StopComm();
    Drain(pty.Master());
    comm.DispatchNotifications();
  };

  // The first cycle lets the runtime set up whatever it keeps for good.
  cycle(0);
  const size_t fds = CountEntries("/proc/self/fd");
  size_t threads = CountEntries("/proc/self/task");
  for (int i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    threads = std::min(threads, CountEntries("/proc/self/task"));
  }
  for (int i = 1; i <= 300; ++i) {
    cycle(i);
    if (HasFatalFailure()) return;
  }
  comm.DispatchNotifications();
  EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
  EXPECT_EQ(SettledCount("/proc/self/task", threads), threads);
  EXPECT_EQ(recorder.Count(kNotifyRequestHangup), 0u);
  EXPECT_GE(recorder.Count(kNotifyReceiveData), 31u);
  EXPECT_FALSE(comm.IsOpen());
}

}  // namespace
