#pragma once

#include "receiver_state.h"

#include <string>
#include <vector>

namespace qvsim {

// One second of a multi-constellation receiver's output, as `s.gnss` asks:
// GNRMC, GNGGA, one GNGSA per system, the GSV sequences of each talker (one
// per signal with --dual-band), GNRMB (only with a waypoint) and GNZDA.
std::vector<std::string> buildGnssCycle(const ReceiverState& s);

}  // namespace qvsim
