#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace qvsim {

enum class WriteResult { Written, Busy, NoListener };

// Where the receiver's bytes go and its commands come from: a pseudo-terminal,
// or a network port standing in for a serial-to-network box.
class OutputDevice {
public:
    virtual ~OutputDevice() = default;

    // Sets the device up; on failure returns false and fills `error`.
    virtual bool open(int baud, std::string& error) = 0;
    virtual void close() = 0;
    // Polled for commands and for room to write; negative when there is nothing to poll.
    virtual int fd() const = 0;
    // What the first line of output names: the device or address to connect to.
    virtual const std::string& path() const = 0;

    // The line speed the listener has set, 0 when unknown.
    virtual int listenerBaud() const { return 0; }
    // Whether somebody is there to receive what is written.
    virtual bool hasListener() const = 0;
    // Called once the listener has gone; false if the device cannot be used again.
    virtual bool discardUnread() { return true; }
    // Bytes written but not yet read by the listener, or -1 when unknown.
    virtual long unreadByListener() { return 0; }

    virtual WriteResult write(const char* data, std::size_t size, std::size_t& written) = 0;
    // Bytes the listener wrote; 0 when there are none.
    virtual ssize_t read(std::uint8_t* buffer, std::size_t size) = 0;
};

}  // namespace qvsim
