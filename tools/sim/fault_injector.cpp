#include "fault_injector.h"

#include <cstdio>

namespace qvsim {

FaultInjector::FaultInjector(const FaultRates& rates, std::uint64_t seed)
    : rates_(rates), random_(seed ^ 0x5EEDFA17C0FFEEULL)
{
}

std::string FaultInjector::apply(std::string line)
{
    if (random_.chance(rates_.badChecksum)) {
        const std::size_t star = line.rfind('*');
        if (star != std::string::npos && star + 2 < line.size()) {
            unsigned value = 0;
            if (std::sscanf(line.c_str() + star + 1, "%2x", &value) == 1) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02X", value ^ static_cast<unsigned>(random_.integer(1, 255)));
                line[star + 1] = hex[0];
                line[star + 2] = hex[1];
            }
        }
    }
    // A cut line stops before its checksum is complete and never gets its CR LF: the
    // next sentence's "$" follows straight on, as when a receiver drops bytes.
    if (line.size() > 4 && random_.chance(rates_.cut)) {
        const std::size_t end = line.find('\r') == std::string::npos ? line.size() : line.find('\r');
        line.resize(static_cast<std::size_t>(random_.integer(1, static_cast<int>(end) - 1)));
    }
    if (random_.chance(rates_.garbage)) {
        std::string noise;
        const int count = random_.integer(1, 16);
        for (int i = 0; i < count; ++i)
            noise += static_cast<char>(random_.integer(0, 255));
        line.insert(0, noise);
    }
    return line;
}

}  // namespace qvsim
