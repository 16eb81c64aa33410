#pragma once
// The channel from the workers into the owner's thread: workers post numbered
// notifications, the owner watches Fd() (readable while notifications wait)
// and calls Dispatch on its own thread, which hands them over in posting order.

#include <functional>

#include "message_queue.h"

class TNotifyChannel {
 public:
  bool Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) { return queue_.Post(msg, wParam, lParam); }
  int Fd() const { return queue_.WakeEvent()->Fd(); }

  // Delivers the notifications waiting at the call, oldest first; those posted
  // meanwhile wait for the next call, so a busy line cannot starve the owner.
  // If the handler throws, the rest stay queued and Fd() stays readable.
  void Dispatch(const std::function<void(const TMessage&)>& handler);

  // Refuses further posts and hands every waiting notification to `discard`.
  void Close(const std::function<void(const TMessage&)>& discard) { queue_.Close(discard); }

 private:
  TMessageQueue queue_;
};
