#include "notify_channel.h"

void TNotifyChannel::Dispatch(const std::function<void(const TMessage&)>& handler) {
  TMessage message;
  for (size_t left = queue_.Size(); left > 0 && queue_.Peek(message); --left) handler(message);
}
