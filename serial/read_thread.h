#pragma once
// The receive worker: keeps a read and a line-event wait outstanding on the
// port and turns their completions into notifications for the owner.

#include <cstdint>

#include "hangup_signal.h"
#include "notify_channel.h"
#include "serial_platform.h"
#include "worker_thread.h"

class TReadThread final : public TThread {
 public:
  static constexpr uint32_t kReadBufferSize = 2048;

  TReadThread(serial_platform::Port* port, serial_platform::Event* closeEvent, TNotifyChannel* notifyWindow,
              THangupSignal* hangup);
  ~TReadThread() override;

 protected:
  void Execute() override;

 private:
  bool SetupReadEvent(serial_platform::Overlapped& ov, uint8_t* buffer, uint32_t size, uint32_t& count);
  bool HandleReadEvent(serial_platform::Overlapped& ov, uint8_t* buffer, uint32_t size, uint32_t& count);
  bool HandleReadData(const uint8_t* buffer, uint32_t count);
  bool SetupCommEvent(serial_platform::Overlapped& ov, uint32_t& mask);
  bool HandleCommEvent(serial_platform::Overlapped* ov, uint32_t& mask, bool retrieve);
  bool ReceiveData(uint8_t* copy, uint32_t count);
  bool ReceiveError(uint32_t flags);
  bool ModemStateChange(uint32_t bits);
  void PostHangupCall();
  // Error 6 ends the thread quietly; any other error asks for a hang-up.
  bool FailWith(uint32_t error);

  serial_platform::Port* const port_;
  serial_platform::Event* const closeEvent_;
  TNotifyChannel* const notifyWindow_;
  THangupSignal* const hangup_;
  uint8_t buffer_[kReadBufferSize] = {};
};
