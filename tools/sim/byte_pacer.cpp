#include "byte_pacer.h"

#include <algorithm>
#include <cmath>

namespace qvsim {

void BytePacer::push(std::string_view bytes, double now)
{
    if (pending() == 0) {
        queue_.clear();
        head_ = 0;
        // An idle line starts carrying the new bytes now, not back when it went idle.
        clock_ = std::max(clock_, now);
    }
    queue_.append(bytes);
}

std::size_t BytePacer::due(double now) const
{
    if (now <= clock_)
        return 0;
    const double carried = std::floor((now - clock_) * bytesPerSecond_ + 1e-9);
    return carried >= static_cast<double>(pending()) ? pending() : static_cast<std::size_t>(carried);
}

void BytePacer::consume(std::size_t count)
{
    count = std::min(count, pending());
    head_ += count;
    clock_ += static_cast<double>(count) / bytesPerSecond_;
    if (head_ == queue_.size()) {
        queue_.clear();
        head_ = 0;
    }
}

void BytePacer::clear(double now)
{
    queue_.clear();
    head_ = 0;
    clock_ = now;
}

}  // namespace qvsim
