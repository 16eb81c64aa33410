// Opening and closing a port, purges, line errors, modem lines and timeouts.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/serial.h>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

#include "serial_platform.h"
#include "serial_port_internal.h"

namespace serial_platform {
namespace {

constexpr uint32_t kErrorSharingViolation = 32;

void Wake(int eventFd) {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(eventFd, &one, sizeof one);
}

// TIOCMIWAIT sleeps in the kernel with no descriptor to poll; a signal with
// a handler that does nothing (and no SA_RESTART) is what ends that sleep
// when the port closes.
int ModemWakeSignal() {
  static const int signal = [] {
    int s = SIGRTMIN + 3;
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    sigaction(s, &action, nullptr);
    return s;
  }();
  return signal;
}

void WatchModemLines(Port* port) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, ModemWakeSignal());
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  while (!port->modemWatchStop_.load()) {
    if (::ioctl(port->Fd(), TIOCMIWAIT, TIOCM_CD | TIOCM_RI) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    serial_icounter_struct counts{};
    if (::ioctl(port->Fd(), TIOCGICOUNT, &counts) < 0) break;
    uint32_t events = 0;
    if (counts.dcd != port->lastModemCounts_[0]) events |= kEvRlsd;
    if (counts.rng != port->lastModemCounts_[1]) events |= kEvRing;
    port->lastModemCounts_[0] = counts.dcd;
    port->lastModemCounts_[1] = counts.rng;
    if (events != 0) {
      port->pendingEvents_.fetch_or(events);
      Wake(port->lineEventFd_);
    }
  }
  port->modemWatchDone_.store(true);
}

// Modem-line changes and line errors come from the device's counters; a
// device without them (a pseudo-terminal) simply never reports a line event.
void StartLineWatch(Port* port) {
  int lines = 0;
  serial_icounter_struct counts{};
  if (::ioctl(port->Fd(), TIOCGICOUNT, &counts) < 0) return;
  port->hasErrorCounters_ = true;
  int seen[5] = {counts.frame, counts.overrun, counts.parity, counts.brk, counts.buf_overrun};
  std::copy(seen, seen + 5, port->lastErrorCounts_);
  if (::ioctl(port->Fd(), TIOCMGET, &lines) < 0) return;
  port->lastModemCounts_[0] = counts.dcd;
  port->lastModemCounts_[1] = counts.rng;
  ModemWakeSignal();
  try {
    port->modemWatch_ = std::thread(WatchModemLines, port);
  } catch (const std::system_error&) {
    port->modemWatchDone_.store(true);
  }
}

}  // namespace

Port::Port(int fd) : fd_(fd) {
  rxAbortFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  txAbortFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  lineEventFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

Port::~Port() {
  if (modemWatch_.joinable()) {
    modemWatchStop_.store(true);
    // The signal may land just before the thread enters its wait; repeat it
    // until the thread has seen the stop request.
    while (!modemWatchDone_.load()) {
      pthread_kill(modemWatch_.native_handle(), ModemWakeSignal());
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    modemWatch_.join();
  }
  // Without this a pseudo-terminal keeps its exclusive flag after the close,
  // and the next open by an ordinary user fails.
  if (fd_ >= 0 && ::isatty(fd_)) ::ioctl(fd_, TIOCNXCL);
  for (int fd : {fd_, rxAbortFd_, txAbortFd_, lineEventFd_})
    if (fd >= 0) ::close(fd);
}

std::string ResolvePortName(const std::string& name) {
  std::string path = name.starts_with("\\\\.\\") ? name.substr(4) : name;
  if (path.find('/') == std::string::npos) path = "/dev/" + path;
  return path;
}

std::unique_ptr<Port> CreateFile(const std::string& name) {
  const std::string path = ResolvePortName(name);
  // O_NOCTTY: a port opened by a program without a terminal must not become
  // its controlling terminal, or a hang-up on the line would signal it.
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return nullptr;
  }
  // TIOCEXCL alone does not stop root from opening the line a second time;
  // the lock stops every program that takes it.
  if (::flock(fd, LOCK_EX | LOCK_NB) < 0) {
    const int cause = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    SetLastError(kErrorSharingViolation);
    SetLastSystemError(cause);
    return nullptr;
  }
  if (::isatty(fd)) ::ioctl(fd, TIOCEXCL);
  auto port = std::make_unique<Port>(fd);
  if (port->rxAbortFd_ < 0 || port->txAbortFd_ < 0 || port->lineEventFd_ < 0) {
    const int cause = errno;
    SetLastError(kErrorGenFailure);
    SetLastSystemError(cause);
    return nullptr;
  }
  if (::isatty(fd)) StartLineWatch(port.get());
  return port;
}

uint32_t GetFileType(const Port* port) {
  struct stat st {};
  if (port == nullptr || ::fstat(port->Fd(), &st) < 0) {
    SetLastError(kErrorInvalidHandle);
    return kFileTypeOther;
  }
  return S_ISCHR(st.st_mode) && ::isatty(port->Fd()) ? kFileTypeChar : kFileTypeOther;
}

bool SetupComm(Port* port, uint32_t, uint32_t) {
  // The kernel sizes a tty's queues itself; the call only checks the handle.
  if (port == nullptr || ::fcntl(port->Fd(), F_GETFD) < 0) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  return true;
}

bool PurgeComm(Port* port, uint32_t flags) {
  if (port == nullptr) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  if (flags & kPurgeRxAbort) {
    port->rxAbortGeneration_.fetch_add(1);
    Wake(port->rxAbortFd_);
  }
  if (flags & kPurgeTxAbort) {
    port->txAbortGeneration_.fetch_add(1);
    Wake(port->txAbortFd_);
  }
  int queue = -1;
  if ((flags & kPurgeRxClear) && (flags & kPurgeTxClear)) {
    queue = TCIOFLUSH;
  } else if (flags & kPurgeRxClear) {
    queue = TCIFLUSH;
  } else if (flags & kPurgeTxClear) {
    queue = TCOFLUSH;
  }
  if (queue >= 0 && ::tcflush(port->Fd(), queue) < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

CommTimeouts CurrentTimeouts(Port* port) {
  std::lock_guard lock(port->timeoutsMutex_);
  return port->timeouts_;
}

bool GetCommTimeouts(Port* port, CommTimeouts& timeouts) {
  if (port == nullptr) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  timeouts = CurrentTimeouts(port);
  return true;
}

bool SetCommTimeouts(Port* port, const CommTimeouts& timeouts) {
  if (port == nullptr) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  std::lock_guard lock(port->timeoutsMutex_);
  port->timeouts_ = timeouts;
  return true;
}

bool SetCommMask(Port* port, uint32_t mask) {
  if (port == nullptr || port->Fd() < 0) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  port->commMask_.store(mask);
  return true;
}

void NoteLineErrors(Port* port) {
  if (!port->hasErrorCounters_) return;
  serial_icounter_struct c{};
  if (::ioctl(port->Fd(), TIOCGICOUNT, &c) < 0) return;
  const int now[5] = {c.frame, c.overrun, c.parity, c.brk, c.buf_overrun};
  const uint32_t flag[5] = {kCeFrame, kCeOverrun, kCeRxParity, kCeBreak, kCeRxOver};
  uint32_t errors = 0;
  for (int i = 0; i < 5; ++i) {
    if (now[i] != port->lastErrorCounts_[i]) errors |= flag[i];
    port->lastErrorCounts_[i] = now[i];
  }
  if (errors == 0) return;
  port->commErrors_.fetch_or(errors);
  port->pendingEvents_.fetch_or(kEvErr);
  Wake(port->lineEventFd_);
}

bool ClearCommError(Port* port, uint32_t* errors) {
  if (port == nullptr || ::fcntl(port->Fd(), F_GETFD) < 0) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  NoteLineErrors(port);
  uint32_t taken = port->commErrors_.exchange(0);
  if (errors != nullptr) *errors = taken;
  return true;
}

bool GetCommModemStatus(Port* port, uint32_t* status) {
  int lines = 0;
  if (port == nullptr) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  if (::ioctl(port->Fd(), TIOCMGET, &lines) < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  uint32_t s = 0;
  if (lines & TIOCM_CTS) s |= kMsCtsOn;
  if (lines & TIOCM_DSR) s |= kMsDsrOn;
  if (lines & TIOCM_RI) s |= kMsRingOn;
  if (lines & TIOCM_CD) s |= kMsRlsdOn;
  if (status != nullptr) *status = s;
  return true;
}

void RaiseCurrentThreadPriority(int level) {
  // Ordinary threads share one scheduling class; a lower nice value is the
  // nearest thing to a higher priority, and needs CAP_SYS_NICE.
  const id_t tid = static_cast<id_t>(::syscall(SYS_gettid));
  errno = 0;
  int nice = ::getpriority(PRIO_PROCESS, tid);
  if (errno != 0) return;
  ::setpriority(PRIO_PROCESS, tid, nice - 5 * level);
}

}  // namespace serial_platform
