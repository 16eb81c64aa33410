#pragma once
// A thread-safe FIFO of numbered messages with a manual-reset event that is
// signalled exactly while messages wait, so a consumer can sleep in the same
// wait as its other events.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "serial_platform.h"

struct TMessage {
  uint32_t Msg = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
};

class TMessageQueue {
 public:
  // Throws std::system_error when the wake-up event cannot be created.
  TMessageQueue();
  ~TMessageQueue();
  TMessageQueue(const TMessageQueue&) = delete;
  TMessageQueue& operator=(const TMessageQueue&) = delete;

  // False when the queue is closed or out of memory; the caller keeps
  // ownership of anything the message points to.
  bool Post(uint32_t msg, uintptr_t wParam, intptr_t lParam);
  // Takes the oldest message without waiting.
  bool Peek(TMessage& message);
  size_t Size();
  // Refuses further posts and hands every waiting message to `discard`.
  void Close(const std::function<void(const TMessage&)>& discard);
  serial_platform::Event* WakeEvent() const { return wake_.get(); }

 private:
  std::mutex mutex_;
  std::deque<TMessage> messages_;
  bool closed_ = false;
  std::unique_ptr<serial_platform::Event> wake_;
};
