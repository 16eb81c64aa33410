// Throughput of the receive path through a pseudo-terminal, every byte
// checked in order on the owner's thread, and the CPU an open, idle port costs.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "comm.h"

namespace {

class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || ::grantpt(master_) || ::unlockpt(master_) || ::ptsname_r(master_, name, sizeof name))
      throw std::runtime_error("no pseudo-terminal");
    path_ = name;
  }
  ~Pty() { ::close(master_); }
  int Master() const { return master_; }
  const std::string& Path() const { return path_; }

 private:
  int master_;
  std::string path_;
};

uint8_t PatternByte(uint64_t i) { return static_cast<uint8_t>(0x20 + i % 95); }

void BM_ReceiveThroughput(benchmark::State& state) {
  const uint64_t total = static_cast<uint64_t>(state.range(0));
  std::vector<uint8_t> source(total);
  for (uint64_t i = 0; i < total; ++i) source[i] = PatternByte(i);
  for (auto _ : state) {
    Pty pty;
    TComm comm;
    comm.SetCommName(pty.Path());
    uint64_t received = 0;
    bool inOrder = true;
    comm.OnReceiveData = [&](TComm*, const uint8_t* buffer, uint16_t length) {
      for (uint16_t k = 0; k < length; ++k) inOrder &= buffer[k] == PatternByte(received + k);
      received += length;
    };
    comm.StartComm();
    std::thread writer([&] {
      uint64_t done = 0;
      while (done < total) {
        ssize_t n = ::write(pty.Master(), source.data() + done, total - done);
        if (n <= 0) break;
        done += static_cast<uint64_t>(n);
      }
    });
    while (received < total) {
      pollfd p{comm.NotifyFd(), POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) break;
      comm.DispatchNotifications();
    }
    writer.join();
    comm.StopComm();
    if (received != total || !inOrder) state.SkipWithError("bytes lost or out of order");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * total));
}
BENCHMARK(BM_ReceiveThroughput)->Arg(32 << 20)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_IdleOpenPortCpu(benchmark::State& state) {
  const int seconds = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Pty pty;
    TComm comm;
    comm.SetCommName(pty.Path());
    comm.StartComm();
    comm.DispatchNotifications();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    // The owner's thread sleeps in the same wait the viewer's event loop makes.
    auto end = start + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{comm.NotifyFd(), POLLIN, 0};
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (::poll(&p, 1, static_cast<int>(std::max<int64_t>(left.count(), 0))) > 0) comm.DispatchNotifications();
    }
    const double cpu = CpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    comm.StopComm();
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    state.counters["cpu_ms"] = cpu * 1000.0;
  }
}
BENCHMARK(BM_IdleOpenPortCpu)->Arg(10)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
