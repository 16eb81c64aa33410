#include "serial_link.h"

#include <cerrno>
#include <climits>
#include <poll.h>

namespace ttff {

namespace {

// Longest a read waits for its first byte before it completes empty and the
// receive thread starts the next one.
constexpr uint32_t kReadIdleMs = 1000;

}  // namespace

bool SerialLink::Open(Handlers handlers, std::string& error) {
  handlers_ = std::move(handlers);
  comm_.SetCommName(port_);
  comm_.SetBaudRate(baud_);
  // Binary commands and replies may hold the XON and XOFF bytes; software flow
  // control would stall the line on them.
  comm_.SetOutx_XonXoffFlow(false);
  comm_.SetInx_XonXoffFlow(false);
  // A read completes with the first bytes that arrive, so a sentence reaches the
  // decoder as it ends, not after the line has been quiet for a while.
  comm_.SetReadIntervalTimeout(UINT32_MAX);
  comm_.SetReadTotalTimeoutMultiplier(UINT32_MAX);
  comm_.SetReadTotalTimeoutConstant(kReadIdleMs);
  comm_.OnReceiveData = [this](TComm*, const uint8_t* buffer, uint16_t length) { handlers_.bytes(buffer, length); };
  comm_.OnSendDataEmpty = [this](TComm*) { handlers_.sent(); };
  comm_.OnRequestHangup = [this](TComm*) { handlers_.gone("the receiver is gone (the port hung up)"); };
  try {
    comm_.StartComm();
  } catch (const ECommsError& e) {
    error = e.what();
    return false;
  }
  return true;
}

void SerialLink::Send(const std::string& bytes) {
  if (!comm_.WriteCommData(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint16_t>(bytes.size())))
    handlers_.gone("the receiver is gone (the port hung up)");
}

ReceiverLink::Wake SerialLink::Wait(int ms, int stopFd) {
  pollfd fds[2] = {{comm_.NotifyFd(), POLLIN, 0}, {stopFd, POLLIN, 0}};
  if (poll(fds, 2, ms) < 0 && errno != EINTR) return Wake::Failed;
  if (fds[1].revents & POLLIN) return Wake::Stop;
  if (fds[0].revents & POLLIN) comm_.DispatchNotifications();
  return Wake::Ready;
}

}  // namespace ttff
