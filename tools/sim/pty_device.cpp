#include "pty_device.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qvsim {

namespace {

struct SpeedEntry {
    int baud;
    speed_t constant;
};

constexpr SpeedEntry kSpeeds[] = {{300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
                                  {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
                                  {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800},
                                  {921600, B921600}};

speed_t speedConstant(int baud)
{
    for (const SpeedEntry& e : kSpeeds)
        if (e.baud == baud)
            return e.constant;
    return B0;
}

}  // namespace

PtyDevice::~PtyDevice()
{
    close();
}

bool PtyDevice::open(int baud, std::string& error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno);
        close();
        return false;
    }
    path_ = name;
    // On a pty master the termios calls reach the slave's settings. Raw mode keeps
    // the slave from echoing our sentences back to us or turning CR LF into
    // something else before an opener sets its own mode.
    termios tio{};
    if (tcgetattr(master_, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        if (const speed_t speed = speedConstant(baud); speed != B0)
            cfsetspeed(&tio, speed);
        tcsetattr(master_, TCSANOW, &tio);
    }
    discardUnread();
    return true;
}

void PtyDevice::close()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

int PtyDevice::listenerBaud() const
{
    termios tio{};
    if (master_ < 0 || tcgetattr(master_, &tio) != 0)
        return 0;
    const speed_t speed = cfgetospeed(&tio);
    for (const SpeedEntry& e : kSpeeds)
        if (e.constant == speed)
            return e.baud;
    return 0;
}

bool PtyDevice::hasListener() const
{
    if (master_ < 0)
        return false;
    pollfd p{master_, POLLOUT, 0};
    return poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP);
}

bool PtyDevice::discardUnread()
{
    const int slave = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return false;
    tcflush(slave, TCIFLUSH);
    ::close(slave);
    return true;
}

long PtyDevice::unreadByListener()
{
    const int slave = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return -1;
    int queued = 0;
    const int rc = ioctl(slave, FIONREAD, &queued);
    ::close(slave);
    return rc == 0 ? queued : -1;
}

WriteResult PtyDevice::write(const char* data, std::size_t size, std::size_t& written)
{
    written = 0;
    while (written < size) {
        const ssize_t n = ::write(master_, data + written, size - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return WriteResult::Busy;
        return WriteResult::NoListener;
    }
    return WriteResult::Written;
}

ssize_t PtyDevice::read(std::uint8_t* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(master_, buffer, size);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return 0;
    }
}

}  // namespace qvsim
