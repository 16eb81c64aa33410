#pragma once

#include "sim_random.h"

#include <cstdint>
#include <string>

namespace qvsim {

struct FaultRates {
    double badChecksum = 0.0;  // probability per sentence
    double cut = 0.0;
    double garbage = 0.0;
};

// Spoils outgoing lines the way a poor cable or a confused receiver does. Its own
// random stream keeps the world identical whichever faults are switched on.
class FaultInjector {
public:
    FaultInjector(const FaultRates& rates, std::uint64_t seed);

    // `line` is one complete sentence with CR LF; the result is what goes on the wire.
    std::string apply(std::string line);
    bool active() const { return rates_.badChecksum > 0 || rates_.cut > 0 || rates_.garbage > 0; }

private:
    FaultRates rates_;
    SimRandom random_;
};

}  // namespace qvsim
