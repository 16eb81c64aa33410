#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Receivers that are not on a local serial port, named by what the user
// types into the port box:
//   gpsd://[HOST[:PORT]][/DEVICE]   gpsd's client port (localhost:2947 unless given)
//   tcp://HOST:PORT                 a server that sends NMEA
//   udp://[ADDRESS]:PORT            datagrams to this machine (every interface without ADDRESS)
// HOST is a name, an IPv4 address or a bracketed IPv6 address ([::1]).
enum class SourceKind { Gpsd, Tcp, Udp };

struct SourceAddress {
  SourceKind kind = SourceKind::Tcp;
  QString host;  // empty only for udp:// on every interface
  uint16_t port = 0;
  QString device;  // gpsd:// only: the receiver gpsd should relay, empty for all
};

inline constexpr uint16_t kGpsdDefaultPort = 2947;

// Whether the text names one of these sources rather than a serial port.
bool IsSourceText(const QString& text);

// The source a text names; otherwise empty, with `problem` saying what is
// wrong in words for the user ("the port is missing (tcp://HOST:PORT)").
std::optional<SourceAddress> ParseSource(const QString& text, QString* problem);

// The box text for a malformed source: the source as typed, then what is wrong.
QString MalformedSourceText(const QString& text, const QString& problem);
