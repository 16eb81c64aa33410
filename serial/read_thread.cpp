#include "read_thread.h"

#include <cstdlib>
#include <cstring>

#include "comm_types.h"

using namespace serial_platform;

TReadThread::TReadThread(Port* port, Event* closeEvent, TNotifyChannel* notifyWindow, THangupSignal* hangup)
    : port_(port), closeEvent_(closeEvent), notifyWindow_(notifyWindow), hangup_(hangup) {}

TReadThread::~TReadThread() { Join(); }

void TReadThread::Execute() {
  Overlapped readOv{};
  Overlapped commOv{};
  std::unique_ptr<Event> readEvent = Event::Create(true);
  std::unique_ptr<Event> commEvent = readEvent ? Event::Create(true) : nullptr;
  if (!readEvent || !commEvent) {
    PostHangupCall();
  } else if (!SetCommMask(port_, kEvRlsd | kEvErr | kEvRing)) {
    PostHangupCall();
  } else {
    readOv.hEvent = readEvent.get();
    commOv.hEvent = commEvent.get();
    uint32_t mask = 0;
    uint32_t count = 0;
    if (SetupCommEvent(commOv, mask) && SetupReadEvent(readOv, buffer_, kReadBufferSize, count)) {
      // A stop request outranks line events, and line events outrank reads.
      // The transmit thread's hang-up request comes last, so that bytes
      // already gathered are still delivered; it ends the thread quietly.
      Event* const waitList[4] = {closeEvent_, commEvent.get(), readEvent.get(), hangup_->Raised()};
      for (;;) {
        const uint32_t which = WaitForMultipleObjects(waitList, kInfinite);
        if (which == 0) break;
        if (which == 1) {
          if (!HandleCommEvent(&commOv, mask, true) || !SetupCommEvent(commOv, mask)) break;
        } else if (which == 2) {
          if (!HandleReadEvent(readOv, buffer_, kReadBufferSize, count) ||
              !SetupReadEvent(readOv, buffer_, kReadBufferSize, count))
            break;
        } else if (which == 3) {
          break;
        } else {
          PostHangupCall();
          break;
        }
      }
    }
  }
  PurgeComm(port_, kPurgeRxAbort | kPurgeRxClear);
}

bool TReadThread::FailWith(uint32_t error) {
  if (error != kErrorInvalidHandle) PostHangupCall();
  return false;
}

bool TReadThread::SetupReadEvent(Overlapped& ov, uint8_t* buffer, uint32_t size, uint32_t& count) {
  for (;;) {
    if (closeEvent_->IsSignalled()) return false;
    if (!ReadFile(port_, buffer, size, &count, &ov)) break;
    // Done at once: a burst already waiting is drained before the next wait.
    if (!HandleReadData(buffer, count)) return false;
  }
  const uint32_t error = GetLastError();
  if (error == kErrorIoPending) return true;
  return FailWith(error);
}

bool TReadThread::HandleReadEvent(Overlapped& ov, uint8_t* buffer, uint32_t, uint32_t& count) {
  if (GetOverlappedResult(port_, &ov, &count, false)) return HandleReadData(buffer, count);
  return FailWith(GetLastError());
}

bool TReadThread::HandleReadData(const uint8_t* buffer, uint32_t count) {
  // An empty completion (total read timeouts set by the owner) is simply
  // followed by the next read rather than ending reception.
  if (count == 0) return true;
  auto* copy = static_cast<uint8_t*>(std::calloc(count + 1, 1));
  if (copy == nullptr) {
    PostHangupCall();
    return false;
  }
  std::memcpy(copy, buffer, count);
  return ReceiveData(copy, count);
}

bool TReadThread::SetupCommEvent(Overlapped& ov, uint32_t& mask) {
  for (;;) {
    if (closeEvent_->IsSignalled()) return false;
    if (!WaitCommEvent(port_, &mask, &ov)) break;
    if (!HandleCommEvent(nullptr, mask, false)) return false;
  }
  const uint32_t error = GetLastError();
  if (error == kErrorIoPending) return true;
  return FailWith(error);
}

bool TReadThread::HandleCommEvent(Overlapped* ov, uint32_t& mask, bool retrieve) {
  uint32_t transferred = 0;
  if (retrieve && !GetOverlappedResult(port_, ov, &transferred, false)) return FailWith(GetLastError());
  bool result = false;
  if (mask & kEvErr) {
    uint32_t errors = 0;
    if (!ClearCommError(port_, &errors)) return FailWith(GetLastError());
    if (!ReceiveError(errors)) return false;
    result = true;
  }
  uint32_t modem = 0;
  if (mask & kEvRlsd) modem |= 8;
  if (mask & kEvRing) modem |= 4;
  if (modem != 0) {
    if (!ModemStateChange(modem)) return false;
    result = true;
  }
  if (!result) PostHangupCall();
  return result;
}

bool TReadThread::ReceiveData(uint8_t* copy, uint32_t count) {
  // Once posted, the copy belongs to the owner's side, which frees it.
  if (notifyWindow_->Post(kNotifyReceiveData, count, reinterpret_cast<intptr_t>(copy))) return true;
  std::free(copy);
  PostHangupCall();
  return false;
}

bool TReadThread::ReceiveError(uint32_t flags) {
  if (notifyWindow_->Post(kNotifyReceiveError, 0, static_cast<intptr_t>(flags))) return true;
  PostHangupCall();
  return false;
}

bool TReadThread::ModemStateChange(uint32_t bits) {
  if (notifyWindow_->Post(kNotifyModemStateChange, 0, static_cast<intptr_t>(bits))) return true;
  PostHangupCall();
  return false;
}

void TReadThread::PostHangupCall() { hangup_->Request(notifyWindow_, GetLastSystemError()); }
