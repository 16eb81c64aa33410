#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace ttff {

// The way to the receiver: a serial port, or a connection when the build has
// the network sources. The session drives it from one thread.
class ReceiverLink {
 public:
  struct Handlers {
    std::function<void(const uint8_t* data, std::size_t size)> bytes;
    // The command's last byte has gone to the receiver.
    std::function<void()> sent;
    // The receiver can no longer be reached: a sentence saying so and why.
    std::function<void(const std::string& why)> gone;
  };
  enum class Wake { Ready, Stop, Failed };

  virtual ~ReceiverLink() = default;
  // On failure `error` says why, for the user.
  virtual bool Open(Handlers handlers, std::string& error) = 0;
  virtual void Send(const std::string& bytes) = 0;
  // Waits up to `ms` for the receiver, handling what came, or for `stopFd` to
  // become readable (Stop).
  virtual Wake Wait(int ms, int stopFd) = 0;
};

}  // namespace ttff
