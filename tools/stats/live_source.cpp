#include "live_source.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <string_view>

#include "comm.h"
#include "line_splitter.h"

namespace stats_tool {

namespace {

int stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(stopPipe[1], &byte, 1);
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool IsTerminal(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return true;  // a device we may not open: let the port say why
  const bool tty = isatty(fd) == 1;
  close(fd);
  return tty;
}

}  // namespace

bool IsSerialPort(const std::string& source) {
  struct stat st {};
  if (stat(source.c_str(), &st) == 0) return IsTerminal(source);
  return source.find('/') == std::string::npos && IsTerminal("/dev/" + source);
}

bool ReadSerialPort(CNMEAParser& parser, const stats::SampleCollector& samples, const std::string& port,
                    unsigned baud, double seconds, std::string& error) {
  TComm comm;
  comm.SetCommName(port);
  comm.SetBaudRate(baud);
  // A read completes with the first bytes that arrive; 1 s without any ends
  // it empty, so that the deadline is kept on a silent line.
  comm.SetReadIntervalTimeout(UINT32_MAX);
  comm.SetReadTotalTimeoutMultiplier(UINT32_MAX);
  comm.SetReadTotalTimeoutConstant(1000);
  bool hungUp = false;
  // Cut into lines at CR as the viewer's live path cuts them, with the same
  // bound on a line that never ends; the CR itself is not fed.
  LineSplitter lines(LineSplitter::Breaks::CarriageReturn, 4096);
  const auto feed = [&parser](std::string_view line) {
    parser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
  };
  comm.OnReceiveData = [&lines, &feed](TComm*, const uint8_t* bytes, uint16_t length) {
    lines.Feed(reinterpret_cast<const char*>(bytes), length, feed);
  };
  comm.OnRequestHangup = [&hungUp](TComm*) { hungUp = true; };
  try {
    comm.StartComm();
  } catch (const ECommsError& e) {
    error = e.what();
    return false;
  }
  if (stopPipe[0] < 0 && pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) stopPipe[0] = stopPipe[1] = -1;
  struct sigaction action {}, previous {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous);

  const bool progress = isatty(STDERR_FILENO) == 1;
  const double start = Now();
  double nextProgress = start + 60.0;
  for (;;) {
    const double now = Now();
    if (seconds > 0 && now >= start + seconds) break;
    if (progress && now >= nextProgress) {
      std::fprintf(stderr, "quorvane-stats: %s: %.0f min, %zu samples\n", port.c_str(), (now - start) / 60.0,
                   samples.Samples().Size());
      nextProgress += 60.0;
    }
    double wait = nextProgress - now;
    if (seconds > 0) wait = std::min(wait, start + seconds - now);
    pollfd fds[2] = {{comm.NotifyFd(), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(wait * 1000.0) + 1) < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) break;
    if (fds[0].revents & POLLIN) comm.DispatchNotifications();
    if (hungUp) {
      std::fprintf(stderr, "quorvane-stats: %s: the port hung up; figures so far\n", port.c_str());
      break;
    }
  }
  sigaction(SIGINT, &previous, nullptr);
  comm.StopComm();
  comm.DispatchNotifications();
  return true;
}

}  // namespace stats_tool
