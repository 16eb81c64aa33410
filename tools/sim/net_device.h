#pragma once

#include "output_device.h"

#include <string>
#include <vector>

namespace qvsim {

// --tcp [ADDRESS:]PORT: a server that sends the stream to every connected
// client and takes commands from any of them, as a serial-to-network box does.
// ADDRESS defaults to 127.0.0.1; PORT 0 lets the system choose, and path()
// names the port it chose ("tcp://127.0.0.1:40123").
class TcpServerDevice : public OutputDevice {
public:
    explicit TcpServerDevice(std::string listen) : listen_(std::move(listen)) {}
    ~TcpServerDevice() override;

    bool open(int baud, std::string& error) override;
    void close() override;
    // An epoll descriptor: readable when a client connects, writes or leaves.
    int fd() const override { return epoll_; }
    const std::string& path() const override { return path_; }
    bool hasListener() const override;
    WriteResult write(const char* data, std::size_t size, std::size_t& written) override;
    ssize_t read(std::uint8_t* buffer, std::size_t size) override;

private:
    void acceptWaiting() const;
    void drop(std::size_t index) const;

    std::string listen_;
    std::string path_;
    int server_ = -1;
    int epoll_ = -1;
    // Clients join while the runner only asks whether anyone listens.
    mutable std::vector<int> clients_;
};

// --udp HOST:PORT: each line goes out as one datagram to HOST:PORT, as a
// marine multiplexer broadcasts it. Nothing comes back.
class UdpSenderDevice : public OutputDevice {
public:
    explicit UdpSenderDevice(std::string target) : target_(std::move(target)) {}
    ~UdpSenderDevice() override;

    bool open(int baud, std::string& error) override;
    void close() override;
    int fd() const override { return -1; }
    const std::string& path() const override { return path_; }
    // Datagrams go out whether or not anybody receives them.
    bool hasListener() const override { return socket_ >= 0; }
    WriteResult write(const char* data, std::size_t size, std::size_t& written) override;
    ssize_t read(std::uint8_t*, std::size_t) override { return 0; }

private:
    void send();

    // A line longer than this goes out in pieces, as its datagrams would.
    static constexpr std::size_t kMaxDatagram = 4096;

    std::string target_;
    std::string path_;
    int socket_ = -1;
    std::vector<unsigned char> address_;
    std::string line_;
};

}  // namespace qvsim
