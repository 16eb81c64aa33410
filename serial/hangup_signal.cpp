#include "hangup_signal.h"

#include "comm_types.h"

std::unique_ptr<THangupSignal> THangupSignal::Create() {
  std::unique_ptr<serial_platform::Event> event = serial_platform::Event::Create(false);
  if (!event) return nullptr;
  return std::unique_ptr<THangupSignal>(new THangupSignal(std::move(event)));
}

void THangupSignal::Request(TNotifyChannel* notifyWindow, int systemError) {
  if (!requested_.exchange(true)) notifyWindow->Post(kNotifyRequestHangup, 0, systemError);
  event_->Set();
}
