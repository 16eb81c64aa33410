#pragma once
// The serial line layer the component drives: ports, manual-reset events,
// overlapped operations and the multi-handle wait, built on termios, poll,
// eventfd and ioctl. Calls report failure with false and leave an error
// number for GetLastError(); the numbers the workers branch on keep their
// Windows values (6 invalid handle, 995 aborted, 997 pending).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>

namespace serial_platform {

inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorIoIncomplete = 996;
inline constexpr uint32_t kErrorOperationAborted = 995;
inline constexpr uint32_t kErrorIoPending = 997;
inline constexpr uint32_t kErrorDeviceNotConnected = 1167;

uint32_t GetLastError();
// Also forgets the system's error number of the last failure.
void SetLastError(uint32_t error);
// The system's own error number (errno) behind the last failure, for telling
// the user why; 0 when the failure had none.
int GetLastSystemError();
void SetLastSystemError(int error);
// Both at once: the Windows-valued number the workers branch on and errno.
void SetLastErrorFromErrno(int error);

inline constexpr uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr uint32_t kWaitTimeout = 258;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFF;

inline constexpr uint32_t kFileTypeChar = 2;
inline constexpr uint32_t kFileTypeOther = 0;

inline constexpr uint32_t kPurgeTxAbort = 0x1;
inline constexpr uint32_t kPurgeRxAbort = 0x2;
inline constexpr uint32_t kPurgeTxClear = 0x4;
inline constexpr uint32_t kPurgeRxClear = 0x8;

inline constexpr uint32_t kEvRlsd = 0x20;
inline constexpr uint32_t kEvErr = 0x80;
inline constexpr uint32_t kEvRing = 0x100;

inline constexpr uint32_t kCeRxOver = 0x1;
inline constexpr uint32_t kCeOverrun = 0x2;
inline constexpr uint32_t kCeRxParity = 0x4;
inline constexpr uint32_t kCeFrame = 0x8;
inline constexpr uint32_t kCeBreak = 0x10;

inline constexpr uint32_t kMsCtsOn = 0x10;
inline constexpr uint32_t kMsDsrOn = 0x20;
inline constexpr uint32_t kMsRingOn = 0x40;
inline constexpr uint32_t kMsRlsdOn = 0x80;

// Flag bits of DeviceControlBlock::Flags.
inline constexpr uint32_t kDcbBinary = 1u << 0;
inline constexpr uint32_t kDcbParity = 1u << 1;
inline constexpr uint32_t kDcbOutxCtsFlow = 1u << 2;
inline constexpr uint32_t kDcbOutxDsrFlow = 1u << 3;
inline constexpr int kDcbDtrControlShift = 4;
inline constexpr uint32_t kDcbDsrSensitivity = 1u << 6;
inline constexpr uint32_t kDcbTxContinueOnXoff = 1u << 7;
inline constexpr uint32_t kDcbOutX = 1u << 8;
inline constexpr uint32_t kDcbInX = 1u << 9;
inline constexpr uint32_t kDcbErrorChar = 1u << 10;
inline constexpr uint32_t kDcbNull = 1u << 11;
inline constexpr int kDcbRtsControlShift = 12;
inline constexpr uint32_t kDcbAbortOnError = 1u << 14;

inline constexpr uint8_t kDtrControlDisable = 0;
inline constexpr uint8_t kDtrControlEnable = 1;
inline constexpr uint8_t kDtrControlHandshake = 2;
inline constexpr uint8_t kRtsControlDisable = 0;
inline constexpr uint8_t kRtsControlEnable = 1;
inline constexpr uint8_t kRtsControlHandshake = 2;
inline constexpr uint8_t kRtsControlToggle = 3;

inline constexpr uint8_t kNoParity = 0, kOddParity = 1, kEvenParity = 2, kMarkParity = 3, kSpaceParity = 4;
inline constexpr uint8_t kOneStopBit = 0, kOne5StopBits = 1, kTwoStopBits = 2;

struct DeviceControlBlock {
  uint32_t BaudRate = 0;
  uint32_t Flags = 0;
  uint16_t XonLim = 0;
  uint16_t XoffLim = 0;
  uint8_t ByteSize = 8;
  uint8_t Parity = kNoParity;
  uint8_t StopBits = kOneStopBit;
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
};

struct CommTimeouts {
  uint32_t ReadIntervalTimeout = 0;
  uint32_t ReadTotalTimeoutMultiplier = 0;
  uint32_t ReadTotalTimeoutConstant = 0;
  uint32_t WriteTotalTimeoutMultiplier = 0;
  uint32_t WriteTotalTimeoutConstant = 0;
};

struct Overlapped;

// Manual-reset event on an eventfd: stays signalled until Reset.
class Event {
 public:
  static std::unique_ptr<Event> Create(bool initialState);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  bool Set();
  bool Reset();
  bool IsSignalled() const;
  int Fd() const { return fd_; }

  // The pending operation that signals this event when it completes; only the
  // thread that started it waits on it, so no lock is needed. Layer-internal.
  Overlapped* driver_ = nullptr;

 private:
  explicit Event(int fd) : fd_(fd) {}
  int fd_;
};

class Port;

enum class OperationKind : uint8_t { None, Read, Write, CommEvent };

// State of one overlapped operation. Zero-initialise, set hEvent, and reuse it
// for one operation at a time.
struct Overlapped {
  Event* hEvent = nullptr;
  OperationKind Kind = OperationKind::None;
  bool Pending = false;
  uint32_t Error = 0;
  int SystemError = 0;
  uint32_t Transferred = 0;
  Port* OnPort = nullptr;
  uint8_t* ReadBuffer = nullptr;
  const uint8_t* WriteData = nullptr;
  uint32_t Size = 0;
  uint32_t* EventMask = nullptr;
  uint64_t AbortGeneration = 0;
  bool FirstByteCompletes = false;
  uint32_t Interval = 0;
  std::chrono::steady_clock::time_point LastByte{};
  std::chrono::steady_clock::time_point TotalDeadline{};
  bool HasTotalDeadline = false;
};

// An open serial line. Destroy it only once no worker uses it any more. The
// members beyond Fd() belong to the layer's own files.
class Port {
 public:
  explicit Port(int fd);
  ~Port();
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;
  int Fd() const { return fd_; }

  int fd_;
  // Purges of a direction bump its generation and wake its pending operation.
  int rxAbortFd_ = -1;
  int txAbortFd_ = -1;
  // Woken when a line event (error, carrier, ring) has been recorded.
  int lineEventFd_ = -1;
  std::atomic<uint64_t> rxAbortGeneration_{0};
  std::atomic<uint64_t> txAbortGeneration_{0};
  std::atomic<uint32_t> commMask_{0};
  std::atomic<uint32_t> pendingEvents_{0};
  std::atomic<uint32_t> commErrors_{0};
  std::mutex timeoutsMutex_;
  CommTimeouts timeouts_;
  // Error counters last seen; only the receiving thread reads them.
  bool hasErrorCounters_ = false;
  int lastErrorCounts_[5] = {};
  int lastModemCounts_[2] = {};
  std::atomic<bool> modemWatchStop_{false};
  std::atomic<bool> modemWatchDone_{false};
  std::thread modemWatch_;
};

std::string ResolvePortName(const std::string& name);

// Opens the port read-write, non-blocking, close-on-exec, without becoming its
// controlling terminal, for this process alone. nullptr on failure.
std::unique_ptr<Port> CreateFile(const std::string& name);
uint32_t GetFileType(const Port* port);
bool SetupComm(Port* port, uint32_t inQueue, uint32_t outQueue);
bool PurgeComm(Port* port, uint32_t flags);
bool GetCommState(Port* port, DeviceControlBlock& dcb);
bool SetCommState(Port* port, const DeviceControlBlock& dcb);
bool GetCommTimeouts(Port* port, CommTimeouts& timeouts);
bool SetCommTimeouts(Port* port, const CommTimeouts& timeouts);
bool SetCommMask(Port* port, uint32_t mask);
bool ClearCommError(Port* port, uint32_t* errors);
bool GetCommModemStatus(Port* port, uint32_t* status);

// Overlapped I/O: true when done at once (count set); false with error 997
// when pending, the event then signalled on completion; false otherwise.
bool ReadFile(Port* port, void* buffer, uint32_t size, uint32_t* read, Overlapped* ov);
bool WriteFile(Port* port, const void* data, uint32_t size, uint32_t* written, Overlapped* ov);
bool WaitCommEvent(Port* port, uint32_t* mask, Overlapped* ov);
bool GetOverlappedResult(Port* port, Overlapped* ov, uint32_t* transferred, bool wait);

// Reports the index of the lowest-numbered signalled handle, kWaitTimeout, or
// kWaitFailed. Pending operations bound to the handles make progress here.
uint32_t WaitForMultipleObjects(std::span<Event* const> handles, uint32_t timeoutMs);
uint32_t WaitForSingleObject(Event* handle, uint32_t timeoutMs);

// Raises the calling thread's scheduling priority by level steps where the
// system allows it; otherwise leaves it as it is.
void RaiseCurrentThreadPriority(int level);

}  // namespace serial_platform
