#pragma once

#include "output_device.h"

namespace qvsim {

// The master side of a pseudo-terminal, seen from the receiver. The slave side is
// the device the viewer opens.
//
// Nobody listening is read from the master's poll: it reports POLLHUP while no
// process has the slave open. The simulator holds no slave descriptor of its own,
// because one would hide that hang-up, keep stale bytes queued for the next opener
// and let the queue fill until writes block. It opens the slave only for a moment:
// once at start (a slave never opened shows no hang-up yet) and whenever a
// listener leaves, to throw away what that listener left unread.
class PtyDevice : public OutputDevice {
public:
    PtyDevice() = default;
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;
    ~PtyDevice() override;

    // Opens the pair, sets the slave raw at `baud`; on failure returns false and
    // fills `error`.
    bool open(int baud, std::string& error) override;
    void close() override;
    bool isOpen() const { return master_ >= 0; }
    int fd() const override { return master_; }
    const std::string& path() const override { return path_; }

    // The line speed the listener has set on the slave, 0 if not a standard rate.
    // A pseudo-terminal carries bytes at any setting, so a mismatch is only noted.
    int listenerBaud() const override;
    // Whether some process has the slave open right now.
    bool hasListener() const override;
    // Called once a listener has gone: drops what it left unread in the slave's
    // queue so the next opener starts with fresh sentences. Returns false when the
    // slave cannot be opened: the last listener left it marked exclusive
    // (TIOCEXCL without TIOCNXCL), which a pty keeps while its master is open, so
    // nobody but root can open the device again.
    bool discardUnread() override;
    // Bytes written but not yet read by the listener, or -1 when that cannot be
    // known (the listener holds the device exclusively and we are not root).
    long unreadByListener() override;

    WriteResult write(const char* data, std::size_t size, std::size_t& written) override;
    // Bytes the listener wrote; 0 when there are none.
    ssize_t read(std::uint8_t* buffer, std::size_t size) override;

private:
    int master_ = -1;
    std::string path_;
};

}  // namespace qvsim
