#include "net_device.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qvsim {

namespace {

struct HostPort {
    std::string host;
    std::string port;
};

// "HOST:PORT", "[V6]:PORT" or, when a default host is given, "PORT".
bool splitHostPort(const std::string& text, const char* defaultHost, HostPort& out, std::string& error)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        if (!defaultHost) {
            error = "'" + text + "' is not HOST:PORT";
            return false;
        }
        out = {defaultHost, text};
    } else {
        out = {text.substr(0, colon), text.substr(colon + 1)};
    }
    if (out.host.size() >= 2 && out.host.front() == '[' && out.host.back() == ']')
        out.host = out.host.substr(1, out.host.size() - 2);
    if (out.host.empty() || out.port.empty() || out.port.find_first_not_of("0123456789") != std::string::npos) {
        error = "'" + text + "' is not " + (defaultHost ? "[ADDRESS:]PORT" : "HOST:PORT");
        return false;
    }
    return true;
}

std::string urlHost(const std::string& host)
{
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

addrinfo* resolve(const HostPort& where, int type, int flags, std::string& error)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = type;
    hints.ai_flags = flags | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(where.host.c_str(), where.port.c_str(), &hints, &found);
    if (status != 0) {
        error = where.host + ":" + where.port + ": " + gai_strerror(status);
        return nullptr;
    }
    return found;
}

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

}  // namespace

TcpServerDevice::~TcpServerDevice()
{
    close();
}

bool TcpServerDevice::open(int, std::string& error)
{
    HostPort where;
    if (!splitHostPort(listen_, "127.0.0.1", where, error))
        return false;
    addrinfo* found = resolve(where, SOCK_STREAM, AI_PASSIVE, error);
    if (!found)
        return false;
    server_ = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    const bool ok = server_ >= 0 && setsockopt(server_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0
                    && bind(server_, found->ai_addr, found->ai_addrlen) == 0 && listen(server_, 8) == 0;
    freeaddrinfo(found);
    if (!ok) {
        error = systemError("cannot listen on " + listen_);
        close();
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    char port[NI_MAXSERV] = "";
    getsockname(server_, reinterpret_cast<sockaddr*>(&bound), &length);
    getnameinfo(reinterpret_cast<sockaddr*>(&bound), length, nullptr, 0, port, sizeof port, NI_NUMERICSERV);
    path_ = "tcp://" + urlHost(where.host) + ":" + port;

    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = server_;
    if (epoll_ < 0 || epoll_ctl(epoll_, EPOLL_CTL_ADD, server_, &event) != 0) {
        error = systemError("cannot watch the server socket");
        close();
        return false;
    }
    return true;
}

void TcpServerDevice::close()
{
    for (int client : clients_)
        ::close(client);
    clients_.clear();
    for (int* fd : {&epoll_, &server_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void TcpServerDevice::acceptWaiting() const
{
    for (;;) {
        const int client = accept4(server_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0)
            return;
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = client;
        epoll_ctl(epoll_, EPOLL_CTL_ADD, client, &event);
        clients_.push_back(client);
    }
}

void TcpServerDevice::drop(std::size_t index) const
{
    ::close(clients_[index]);
    clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool TcpServerDevice::hasListener() const
{
    if (server_ >= 0)
        acceptWaiting();
    return !clients_.empty();
}

WriteResult TcpServerDevice::write(const char* data, std::size_t size, std::size_t& written)
{
    written = 0;
    if (clients_.empty())
        return WriteResult::NoListener;
    for (std::size_t i = clients_.size(); i-- > 0;) {
        // A client that cannot keep up loses what does not fit, as a serial
        // line overruns; one that has gone is dropped.
        const ssize_t n = send(clients_[i], data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            drop(i);
    }
    written = size;
    return clients_.empty() ? WriteResult::NoListener : WriteResult::Written;
}

ssize_t TcpServerDevice::read(std::uint8_t* buffer, std::size_t size)
{
    acceptWaiting();
    for (std::size_t i = clients_.size(); i-- > 0;) {
        const ssize_t n = recv(clients_[i], buffer, size, MSG_DONTWAIT);
        if (n > 0)
            return n;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            drop(i);
    }
    return 0;
}

UdpSenderDevice::~UdpSenderDevice()
{
    close();
}

bool UdpSenderDevice::open(int, std::string& error)
{
    HostPort where;
    if (!splitHostPort(target_, nullptr, where, error))
        return false;
    addrinfo* found = resolve(where, SOCK_DGRAM, 0, error);
    if (!found)
        return false;
    socket_ = socket(found->ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(found->ai_addr);
    address_.assign(bytes, bytes + found->ai_addrlen);
    freeaddrinfo(found);
    if (socket_ < 0) {
        error = systemError("cannot create a UDP socket");
        return false;
    }
    path_ = "udp://" + urlHost(where.host) + ":" + where.port;
    return true;
}

void UdpSenderDevice::close()
{
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
}

WriteResult UdpSenderDevice::write(const char* data, std::size_t size, std::size_t& written)
{
    for (std::size_t i = 0; i < size; ++i) {
        line_.push_back(data[i]);
        if (data[i] == '\n' || line_.size() >= kMaxDatagram)
            send();
    }
    written = size;
    return WriteResult::Written;
}

void UdpSenderDevice::send()
{
    // Nobody receiving is no error: the next datagram goes out all the same.
    sendto(socket_, line_.data(), line_.size(), 0, reinterpret_cast<const sockaddr*>(address_.data()),
           static_cast<socklen_t>(address_.size()));
    line_.clear();
}

}  // namespace qvsim
