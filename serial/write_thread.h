#pragma once
// The transmit worker: its own message queue is the send queue, written to the
// port one request at a time, in posting order, each in full.

#include <atomic>
#include <cstdint>

#include "hangup_signal.h"
#include "message_queue.h"
#include "notify_channel.h"
#include "serial_platform.h"
#include "worker_thread.h"

class TWriteThread final : public TThread {
 public:
  TWriteThread(serial_platform::Port* port, serial_platform::Event* closeEvent, TNotifyChannel* notifyWindow,
               THangupSignal* hangup, std::atomic<bool>* sendDataEmpty);
  ~TWriteThread() override;

  // The queue exists from construction, so a request posted before the thread
  // first looks at it is kept. Posting fails once the thread has ended.
  TMessageQueue& Queue() { return queue_; }

 protected:
  void Execute() override;

 private:
  bool HandleWriteData(serial_platform::Overlapped& ov, const uint8_t* data, uint32_t count);
  void PostHangupCall();

  serial_platform::Port* const port_;
  serial_platform::Event* const closeEvent_;
  TNotifyChannel* const notifyWindow_;
  THangupSignal* const hangup_;
  std::atomic<bool>* const sendDataEmpty_;
  TMessageQueue queue_;
};
