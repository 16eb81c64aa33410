// Events, overlapped operations and the multi-handle wait. An operation that
// cannot finish at once stays bound to its event; the thread that waits on the
// event drives it from inside WaitForMultipleObjects, where one ppoll covers
// the events, the port and the abort and line-event wake-ups. Nothing polls on
// a timer: the only deadlines are the read and write timeouts the owner set.

#include <cerrno>
#include <climits>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

#include "serial_platform.h"
#include "serial_port_internal.h"

namespace serial_platform {
namespace {

using Clock = std::chrono::steady_clock;

thread_local uint32_t tLastError = 0;
thread_local int tLastSystemError = 0;

void DrainEventFd(int fd) {
  uint64_t value;
  while (::read(fd, &value, sizeof value) > 0) {
  }
}

void Complete(Overlapped* ov, uint32_t error, int systemError = 0) {
  ov->Pending = false;
  ov->Error = error;
  ov->SystemError = systemError;
  if (ov->Kind == OperationKind::CommEvent && ov->EventMask != nullptr && error == 0) *ov->EventMask = ov->Size;
  if (ov->hEvent != nullptr) {
    ov->hEvent->driver_ = nullptr;
    ov->hEvent->Set();
  }
}

// Reads what the device has. Returns false once the operation has completed.
bool PumpRead(Overlapped* ov, short revents) {
  Port* port = ov->OnPort;
  for (;;) {
    ssize_t n = ::read(port->Fd(), ov->ReadBuffer + ov->Transferred, ov->Size - ov->Transferred);
    if (n > 0) {
      ov->Transferred += static_cast<uint32_t>(n);
      ov->LastByte = Clock::now();
      NoteLineErrors(port);
      if (ov->Transferred == ov->Size) {
        Complete(ov, 0);
        return false;
      }
      continue;
    }
    // End of file or a hang-up means the device has gone; it must never look
    // like an ordinary empty read, or the receiver would spin on it. Bytes
    // already gathered are delivered first; the next read reports the loss.
    bool gone = n == 0 || (errno != EAGAIN && errno != EINTR) ||
                (revents & (POLLHUP | POLLERR)) != 0;
    if (n < 0 && errno == EINTR) continue;
    if (gone) {
      const int cause = n == 0 ? EIO : errno;
      if (ov->Transferred > 0) {
        Complete(ov, 0);
      } else {
        Complete(ov, ErrorFromErrno(cause), cause);
      }
      return false;
    }
    return true;
  }
}

bool PumpWrite(Overlapped* ov) {
  Port* port = ov->OnPort;
  while (ov->Transferred < ov->Size) {
    ssize_t n = ::write(port->Fd(), ov->WriteData + ov->Transferred, ov->Size - ov->Transferred);
    if (n > 0) {
      ov->Transferred += static_cast<uint32_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    const int cause = n == 0 ? EIO : errno;
    Complete(ov, ErrorFromErrno(cause), cause);
    return false;
  }
  Complete(ov, 0);
  return false;
}

bool TakeLineEvent(Overlapped* ov) {
  Port* port = ov->OnPort;
  DrainEventFd(port->lineEventFd_);
  uint32_t mask = port->pendingEvents_.exchange(0) & port->commMask_.load();
  if (mask == 0) return true;
  ov->Size = mask;
  Complete(ov, 0);
  return false;
}

uint64_t GenerationFor(const Overlapped* ov) {
  const Port* port = ov->OnPort;
  return ov->Kind == OperationKind::Write ? port->txAbortGeneration_.load() : port->rxAbortGeneration_.load();
}

int AbortFdFor(const Overlapped* ov) {
  if (ov->Kind == OperationKind::Read) return ov->OnPort->rxAbortFd_;
  if (ov->Kind == OperationKind::Write) return ov->OnPort->txAbortFd_;
  return -1;
}

// Drives a pending operation after a wake-up; `fds` holds the poll results of
// its port, abort and line-event descriptors in that order.
void Advance(Overlapped* ov, const pollfd* fds, Clock::time_point now) {
  if (fds[1].fd >= 0 && (fds[1].revents & POLLIN)) {
    DrainEventFd(fds[1].fd);
    if (GenerationFor(ov) != ov->AbortGeneration) {
      Complete(ov, kErrorOperationAborted);
      return;
    }
  }
  switch (ov->Kind) {
    case OperationKind::Read:
      if (fds[0].revents != 0 && !PumpRead(ov, fds[0].revents)) return;
      if (ov->FirstByteCompletes && ov->Transferred > 0) return Complete(ov, 0);
      if (ov->Interval != 0 && ov->Transferred > 0 &&
          now >= ov->LastByte + std::chrono::milliseconds(ov->Interval))
        return Complete(ov, 0);
      if (ov->HasTotalDeadline && now >= ov->TotalDeadline) return Complete(ov, 0);
      return;
    case OperationKind::Write:
      if (fds[0].revents != 0 && !PumpWrite(ov)) return;
      if (ov->HasTotalDeadline && now >= ov->TotalDeadline) return Complete(ov, 0);
      return;
    case OperationKind::CommEvent:
      if (fds[2].revents & POLLIN) TakeLineEvent(ov);
      return;
    case OperationKind::None:
      return;
  }
}

bool NextDeadline(const Overlapped* ov, Clock::time_point& deadline) {
  bool any = false;
  auto consider = [&](Clock::time_point t) {
    if (!any || t < deadline) deadline = t;
    any = true;
  };
  if (ov->Kind == OperationKind::Read && ov->Interval != 0 && ov->Transferred > 0)
    consider(ov->LastByte + std::chrono::milliseconds(ov->Interval));
  if (ov->HasTotalDeadline) consider(ov->TotalDeadline);
  return any;
}

bool BeginOperation(Port* port, Overlapped* ov, OperationKind kind) {
  if (port == nullptr || port->Fd() < 0 || ov == nullptr || ov->hEvent == nullptr) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  ov->Kind = kind;
  ov->OnPort = port;
  ov->Pending = false;
  ov->Error = 0;
  ov->SystemError = 0;
  ov->Transferred = 0;
  ov->EventMask = nullptr;
  ov->HasTotalDeadline = false;
  ov->FirstByteCompletes = false;
  ov->Interval = 0;
  ov->AbortGeneration = GenerationFor(ov);
  ov->hEvent->Reset();
  return true;
}

bool FinishStart(Overlapped* ov, bool pending, uint32_t* count) {
  if (pending) {
    ov->Pending = true;
    ov->hEvent->driver_ = ov;
    SetLastError(kErrorIoPending);
    return false;
  }
  ov->hEvent->driver_ = nullptr;
  ov->hEvent->Set();
  if (ov->Error != 0) {
    SetLastError(ov->Error);
    SetLastSystemError(ov->SystemError);
    return false;
  }
  if (count != nullptr) *count = ov->Transferred;
  return true;
}

}  // namespace

uint32_t GetLastError() { return tLastError; }
void SetLastError(uint32_t error) {
  tLastError = error;
  tLastSystemError = 0;
}
int GetLastSystemError() { return tLastSystemError; }
void SetLastSystemError(int error) { tLastSystemError = error; }
void SetLastErrorFromErrno(int error) {
  SetLastError(ErrorFromErrno(error));
  SetLastSystemError(error);
}

uint32_t ErrorFromErrno(int error) {
  switch (error) {
    case EBADF:
      return kErrorInvalidHandle;
    case EIO:
    case ENXIO:
    case ENODEV:
    case EPIPE:
      return kErrorDeviceNotConnected;
    default:
      return kErrorGenFailure;
  }
}

std::unique_ptr<Event> Event::Create(bool initialState) {
  int fd = ::eventfd(initialState ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return nullptr;
  }
  return std::unique_ptr<Event>(new Event(fd));
}

Event::~Event() { ::close(fd_); }

bool Event::Set() {
  uint64_t one = 1;
  return ::write(fd_, &one, sizeof one) == sizeof one || errno == EAGAIN;
}

bool Event::Reset() {
  DrainEventFd(fd_);
  return true;
}

bool Event::IsSignalled() const {
  pollfd p{fd_, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool ReadFile(Port* port, void* buffer, uint32_t size, uint32_t* read, Overlapped* ov) {
  if (!BeginOperation(port, ov, OperationKind::Read)) return false;
  CommTimeouts t = CurrentTimeouts(port);
  ov->ReadBuffer = static_cast<uint8_t*>(buffer);
  ov->Size = size;
  ov->LastByte = Clock::now();
  bool returnAtOnce = t.ReadIntervalTimeout == UINT32_MAX && t.ReadTotalTimeoutMultiplier == 0 &&
                      t.ReadTotalTimeoutConstant == 0;
  bool waitForFirst = t.ReadIntervalTimeout == UINT32_MAX && t.ReadTotalTimeoutMultiplier == UINT32_MAX &&
                      t.ReadTotalTimeoutConstant != 0 && t.ReadTotalTimeoutConstant != UINT32_MAX;
  // "Return at once with what is there" would spin an overlapped reader when
  // nothing is there, so here it completes with the first bytes instead.
  ov->FirstByteCompletes = returnAtOnce || waitForFirst;
  if (!ov->FirstByteCompletes) ov->Interval = t.ReadIntervalTimeout;
  uint64_t total = waitForFirst ? t.ReadTotalTimeoutConstant
                                : uint64_t{t.ReadTotalTimeoutMultiplier} * size + t.ReadTotalTimeoutConstant;
  if (!returnAtOnce && total != 0) {
    ov->HasTotalDeadline = true;
    ov->TotalDeadline = ov->LastByte + std::chrono::milliseconds(total);
  }
  if (size == 0) return FinishStart(ov, false, read);
  pollfd p{port->Fd(), POLLIN, 0};
  ::poll(&p, 1, 0);
  bool pending = p.revents == 0 || PumpRead(ov, p.revents);
  if (pending && ov->FirstByteCompletes && ov->Transferred > 0) {
    ov->Error = 0;
    pending = false;
  }
  return FinishStart(ov, pending, read);
}

bool WriteFile(Port* port, const void* data, uint32_t size, uint32_t* written, Overlapped* ov) {
  if (!BeginOperation(port, ov, OperationKind::Write)) return false;
  CommTimeouts t = CurrentTimeouts(port);
  ov->WriteData = static_cast<const uint8_t*>(data);
  ov->Size = size;
  uint64_t total = uint64_t{t.WriteTotalTimeoutMultiplier} * size + t.WriteTotalTimeoutConstant;
  if (total != 0) {
    ov->HasTotalDeadline = true;
    ov->TotalDeadline = Clock::now() + std::chrono::milliseconds(total);
  }
  bool pending = size != 0 && PumpWrite(ov);
  if (size == 0) ov->Error = 0;
  return FinishStart(ov, pending, written);
}

bool WaitCommEvent(Port* port, uint32_t* mask, Overlapped* ov) {
  if (!BeginOperation(port, ov, OperationKind::CommEvent)) return false;
  ov->Size = 0;
  bool pending = TakeLineEvent(ov);
  if (!pending && mask != nullptr) *mask = ov->Size;
  ov->EventMask = mask;
  return FinishStart(ov, pending, nullptr);
}

bool GetOverlappedResult(Port* port, Overlapped* ov, uint32_t* transferred, bool wait) {
  if (port == nullptr || ov == nullptr || ov->OnPort != port) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  while (ov->Pending) {
    if (!wait) {
      SetLastError(kErrorIoIncomplete);
      return false;
    }
    Event* handle = ov->hEvent;
    if (WaitForMultipleObjects(std::span<Event* const>(&handle, 1), kInfinite) != 0) return false;
  }
  if (transferred != nullptr) *transferred = ov->Transferred;
  if (ov->Error != 0) {
    SetLastError(ov->Error);
    SetLastSystemError(ov->SystemError);
    return false;
  }
  return true;
}

uint32_t WaitForMultipleObjects(std::span<Event* const> handles, uint32_t timeoutMs) {
  const size_t n = handles.size();
  if (n == 0) {
    SetLastError(kErrorGenFailure);
    return kWaitFailed;
  }
  const auto start = Clock::now();
  std::vector<pollfd> fds(n * 4);
  for (;;) {
    bool haveDeadline = timeoutMs != kInfinite;
    Clock::time_point deadline = start + std::chrono::milliseconds(haveDeadline ? timeoutMs : 0);
    for (size_t i = 0; i < n; ++i) {
      pollfd* f = &fds[i * 4];
      f[0] = {handles[i]->Fd(), POLLIN, 0};
      f[1] = f[2] = f[3] = {-1, 0, 0};
      Overlapped* ov = handles[i]->driver_;
      if (ov == nullptr) continue;
      if (ov->Kind == OperationKind::Read) f[1] = {ov->OnPort->Fd(), POLLIN, 0};
      if (ov->Kind == OperationKind::Write) f[1] = {ov->OnPort->Fd(), POLLOUT, 0};
      f[2] = {AbortFdFor(ov), POLLIN, 0};
      if (ov->Kind == OperationKind::CommEvent) f[3] = {ov->OnPort->lineEventFd_, POLLIN, 0};
      Clock::time_point opDeadline;
      if (NextDeadline(ov, opDeadline) && (!haveDeadline || opDeadline < deadline)) {
        deadline = opDeadline;
        haveDeadline = true;
      }
    }
    timespec ts{};
    if (haveDeadline) {
      auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()).count();
      if (left < 0) left = 0;
      ts.tv_sec = static_cast<time_t>(left / 1000000000);
      ts.tv_nsec = static_cast<long>(left % 1000000000);
    }
    int r = ::ppoll(fds.data(), fds.size(), haveDeadline ? &ts : nullptr, nullptr);
    if (r < 0 && errno != EINTR) {
      SetLastErrorFromErrno(errno);
      return kWaitFailed;
    }
    const auto now = Clock::now();
    for (size_t i = 0; i < n; ++i) {
      Overlapped* ov = handles[i]->driver_;
      if (ov != nullptr && !(fds[i * 4].revents & POLLIN)) Advance(ov, &fds[i * 4 + 1], now);
    }
    // The states are read afresh after the operations moved on: a purge that
    // aborted one was preceded by whatever event announced it (the close
    // event before a stop's purge), and that event must still win.
    for (size_t i = 0; i < n; ++i) fds[i] = {handles[i]->Fd(), POLLIN, 0};
    if (::poll(fds.data(), n, 0) > 0) {
      for (size_t i = 0; i < n; ++i)
        if (fds[i].revents & POLLIN) return static_cast<uint32_t>(i);
    }
    if (timeoutMs != kInfinite && now >= start + std::chrono::milliseconds(timeoutMs)) return kWaitTimeout;
  }
}

uint32_t WaitForSingleObject(Event* handle, uint32_t timeoutMs) {
  return WaitForMultipleObjects(std::span<Event* const>(&handle, 1), timeoutMs);
}

}  // namespace serial_platform
