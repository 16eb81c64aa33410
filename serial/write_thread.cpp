#include "write_thread.h"

#include <cstdlib>

#include "comm_types.h"

using namespace serial_platform;

namespace {

void FreeRequest(const TMessage& message) {
  if (message.Msg == kRequestWrite) std::free(reinterpret_cast<void*>(message.LParam));
}

}  // namespace

TWriteThread::TWriteThread(Port* port, Event* closeEvent, TNotifyChannel* notifyWindow, THangupSignal* hangup,
                           std::atomic<bool>* sendDataEmpty)
    : port_(port),
      closeEvent_(closeEvent),
      notifyWindow_(notifyWindow),
      hangup_(hangup),
      sendDataEmpty_(sendDataEmpty) {}

TWriteThread::~TWriteThread() {
  Join();
  queue_.Close(FreeRequest);
}

void TWriteThread::Execute() {
  Overlapped ov{};
  std::unique_ptr<Event> writeEvent = Event::Create(true);
  if (!writeEvent) {
    PostHangupCall();
  } else {
    ov.hEvent = writeEvent.get();
    bool noticePending = true;
    // A hang-up already asked for (by the receive thread, which met the
    // device's loss first) ends the thread quietly.
    Event* const waitList[3] = {closeEvent_, queue_.WakeEvent(), hangup_->Raised()};
    for (;;) {
      TMessage message;
      if (!queue_.Peek(message)) {
        sendDataEmpty_->store(true);
        if (noticePending && !notifyWindow_->Post(kNotifySendDataEmpty, 0, 0)) {
          PostHangupCall();
          break;
        }
        noticePending = false;
        const uint32_t which = WaitForMultipleObjects(waitList, kInfinite);
        if (which == 0 || which == 2) break;
        if (which == 1) continue;
        PostHangupCall();
        break;
      }
      if (closeEvent_->IsSignalled() || hangup_->Raised()->IsSignalled()) {
        FreeRequest(message);
        break;
      }
      if (message.Msg != kRequestWrite) continue;
      auto* block = reinterpret_cast<uint8_t*>(message.LParam);
      const bool written = HandleWriteData(ov, block, static_cast<uint32_t>(message.WParam));
      std::free(block);
      if (!written) break;
      noticePending = true;
    }
  }
  PurgeComm(port_, kPurgeTxAbort | kPurgeTxClear);
  sendDataEmpty_->store(true);
  writeEvent.reset();
  queue_.Close(FreeRequest);
}

bool TWriteThread::HandleWriteData(Overlapped& ov, const uint8_t* data, uint32_t count) {
  uint32_t position = 0;
  uint32_t left = count;
  Event* const waitList[3] = {closeEvent_, ov.hEvent, hangup_->Raised()};
  while (left > 0) {
    uint32_t written = 0;
    if (!WriteFile(port_, data + position, left, &written, &ov)) {
      const uint32_t error = GetLastError();
      if (error == kErrorInvalidHandle) return false;
      if (error != kErrorIoPending) {
        PostHangupCall();
        return false;
      }
      const uint32_t which = WaitForMultipleObjects(waitList, kInfinite);
      // Stop or hang-up requested: the unfinished write is left to the purge.
      if (which == 0 || which == 2) return false;
      if (which != 1) {
        PostHangupCall();
        return false;
      }
      if (!GetOverlappedResult(port_, &ov, &written, true)) {
        if (GetLastError() != kErrorInvalidHandle) PostHangupCall();
        return false;
      }
    }
    // A short completion carries on where it stopped.
    left -= written;
    position += written;
  }
  return true;
}

void TWriteThread::PostHangupCall() { hangup_->Request(notifyWindow_, GetLastSystemError()); }
