#pragma once

#include "receiver_link.h"

#include <memory>

namespace ttff {

// Whether `port` names a receiver behind gpsd or on the network (gpsd://,
// tcp://, udp://) rather than a serial port.
bool IsNetworkSource(const std::string& port);

// A link through the viewer's own network sources. Commands go over tcp://
// on the connection and over gpsd:// through gpsd's control socket.
std::unique_ptr<ReceiverLink> MakeNetworkLink(const std::string& source);

}  // namespace ttff
