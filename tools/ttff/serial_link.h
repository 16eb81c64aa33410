#pragma once

#include "comm.h"
#include "receiver_link.h"

namespace ttff {

// A receiver on a local serial port.
class SerialLink : public ReceiverLink {
 public:
  SerialLink(std::string port, unsigned baud) : port_(std::move(port)), baud_(baud) {}
  ~SerialLink() override { comm_.StopComm(); }

  bool Open(Handlers handlers, std::string& error) override;
  void Send(const std::string& bytes) override;
  Wake Wait(int ms, int stopFd) override;

 private:
  std::string port_;
  unsigned baud_;
  Handlers handlers_;
  TComm comm_;
};

}  // namespace ttff
