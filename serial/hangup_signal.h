#pragma once
// Shared by the receive and transmit threads of one open port. A worker that
// gives up (the device went away, or it cannot go on) asks the owner to hang
// up through Request. Only the first request of the session is posted, so a
// device that vanishes gives one request whichever worker meets the loss
// first; the event tells the other worker to end too rather than wait for
// the line (an idle transmitter would otherwise wait for its next write).

#include <atomic>
#include <memory>
#include <utility>

#include "notify_channel.h"
#include "serial_platform.h"

class THangupSignal {
 public:
  // nullptr when the event cannot be created.
  static std::unique_ptr<THangupSignal> Create();
  THangupSignal(const THangupSignal&) = delete;
  THangupSignal& operator=(const THangupSignal&) = delete;

  // Posts the hang-up request unless a worker already has, then signals. The
  // request carries the system's error number behind it (0 when none) in its
  // lParam, so that the owner can tell the user why the line went.
  void Request(TNotifyChannel* notifyWindow, int systemError);
  // Signalled once either worker has asked for a hang-up; never reset.
  serial_platform::Event* Raised() const { return event_.get(); }

 private:
  explicit THangupSignal(std::unique_ptr<serial_platform::Event> event) : event_(std::move(event)) {}

  std::unique_ptr<serial_platform::Event> event_;
  std::atomic<bool> requested_{false};
};
