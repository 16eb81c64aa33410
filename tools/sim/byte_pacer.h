#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvsim {

// Holds bytes waiting for the line and releases them no faster than the baud rate
// would carry them: ten bit times per byte (start, eight data bits, stop). Times
// are simulated seconds.
class BytePacer {
public:
    explicit BytePacer(double bitsPerSecond) : bytesPerSecond_(bitsPerSecond / 10.0) {}

    void push(std::string_view bytes, double now);
    // How many of the pending bytes the line has carried by `now`.
    std::size_t due(double now) const;
    std::string_view pendingBytes() const { return std::string_view(queue_).substr(head_); }
    void consume(std::size_t count);
    // When the next `count` pending bytes will have been carried.
    double dueAt(std::size_t count) const { return clock_ + static_cast<double>(count) / bytesPerSecond_; }
    std::size_t pending() const { return queue_.size() - head_; }
    void clear(double now);
    double bytesPerSecond() const { return bytesPerSecond_; }

private:
    double bytesPerSecond_;
    std::string queue_;
    std::size_t head_ = 0;
    double clock_ = 0.0;  // when the line finished the last byte handed out
};

}  // namespace qvsim
