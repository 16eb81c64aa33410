#include "message_queue.h"

#include <new>
#include <system_error>

TMessageQueue::TMessageQueue() : wake_(serial_platform::Event::Create(false)) {
  if (!wake_) throw std::system_error(std::make_error_code(std::errc::too_many_files_open));
}

TMessageQueue::~TMessageQueue() = default;

bool TMessageQueue::Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  try {
    messages_.push_back(TMessage{msg, wParam, lParam});
  } catch (const std::bad_alloc&) {
    return false;
  }
  wake_->Set();
  return true;
}

bool TMessageQueue::Peek(TMessage& message) {
  std::lock_guard lock(mutex_);
  if (messages_.empty()) {
    wake_->Reset();
    return false;
  }
  message = messages_.front();
  messages_.pop_front();
  if (messages_.empty()) wake_->Reset();
  return true;
}

size_t TMessageQueue::Size() {
  std::lock_guard lock(mutex_);
  return messages_.size();
}

void TMessageQueue::Close(const std::function<void(const TMessage&)>& discard) {
  std::deque<TMessage> left;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    left.swap(messages_);
    wake_->Reset();
  }
  for (const TMessage& m : left) discard(m);
}
