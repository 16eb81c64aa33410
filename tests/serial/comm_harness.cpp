#include "comm_harness.h"

#include <poll.h>
#include <thread>

CommRecorder::CommRecorder(TComm& comm) : comm_(comm) {
  comm.OnReceiveData = [this](TComm* sender, const uint8_t* buffer, uint16_t length) {
    delivered_.push_back({kNotifyReceiveData, std::vector<uint8_t>(buffer, buffer + length), 0, buffer[length] == 0,
                          sender->IsOpen()});
  };
  comm.OnReceiveError = [this](TComm* sender, uint32_t mask) {
    delivered_.push_back({kNotifyReceiveError, {}, mask, false, sender->IsOpen()});
  };
  comm.OnRequestHangup = [this](TComm* sender) {
    delivered_.push_back({kNotifyRequestHangup, {}, 0, false, sender->IsOpen()});
  };
  comm.OnModemStateChange = [this](TComm* sender, uint32_t event) {
    delivered_.push_back({kNotifyModemStateChange, {}, event, false, sender->IsOpen()});
  };
  comm.OnSendDataEmpty = [this](TComm* sender) {
    delivered_.push_back({kNotifySendDataEmpty, {}, 0, false, sender->IsOpen()});
  };
}

bool CommRecorder::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{comm_.NotifyFd(), POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) > 0) comm_.DispatchNotifications();
  }
  return true;
}

void CommRecorder::PumpFor(std::chrono::milliseconds period) {
  PumpUntil([] { return false; }, period);
}

size_t CommRecorder::Count(uint32_t number) const {
  size_t n = 0;
  for (const Delivered& d : delivered_) n += d.Number == number;
  return n;
}

std::vector<uint8_t> CommRecorder::ReceivedBytes() const {
  std::vector<uint8_t> all;
  for (const Delivered& d : delivered_)
    if (d.Number == kNotifyReceiveData) all.insert(all.end(), d.Bytes.begin(), d.Bytes.end());
  return all;
}

std::vector<size_t> CommRecorder::ChunkSizes() const {
  std::vector<size_t> sizes;
  for (const Delivered& d : delivered_)
    if (d.Number == kNotifyReceiveData) sizes.push_back(d.Bytes.size());
  return sizes;
}

bool WaitUntilWritesRefused(TComm& comm, std::chrono::milliseconds timeout) {
  const uint8_t byte = 'x';
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (comm.WriteCommData(&byte, 1)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}
