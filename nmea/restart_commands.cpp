#include "restart_commands.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace restart {

namespace {

// SiRF NMEA input message 101 (navigation initialisation): ECEF position X, Y,
// Z in metres, clock offset in Hz, time of week in s, week number, channel
// count, then the reset configuration 1 hot, 2 warm, 4 cold.
constexpr std::string_view kSirfInit = "PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,";

// Skytraq binary framing: A0 A1, payload length (MSB first), payload, XOR of
// the payload, 0D 0A. Message 01 is the system restart; its payload is the
// start mode (1 hot, 2 warm, 3 cold) and 13 bytes of initial date, time and
// position, left at zero so the receiver keeps its own.
std::string SkytraqRestart(uint8_t mode) {
  std::array<uint8_t, 15> payload{};
  payload[0] = 0x01;
  payload[1] = mode;
  uint8_t sum = 0;
  for (uint8_t b : payload) sum ^= b;
  std::string out = {'\xA0', '\xA1', '\x00', static_cast<char>(payload.size())};
  out.append(payload.begin(), payload.end());
  out += static_cast<char>(sum);
  out += "\r\n";
  return out;
}

// UBX-CFG-RST (class 06, id 04): navBbrMask (little-endian) says which
// battery-backed data to clear, 0000 hot, 0001 warm (ephemeris), FFFF cold.
// Reset mode 02 restarts only the GNSS part, so a receiver on USB stays
// attached instead of dropping off the bus as a hardware reset would make it.
// The checksum is the 8-bit Fletcher sum over class, id, length and payload.
std::string UbloxRestart(uint16_t navBbrMask) {
  std::string out = {'\xB5', '\x62', '\x06', '\x04', '\x04', '\x00', static_cast<char>(navBbrMask & 0xFF),
                     static_cast<char>(navBbrMask >> 8), '\x02', '\x00'};
  uint8_t a = 0;
  uint8_t b = 0;
  for (std::size_t i = 2; i < out.size(); ++i) {
    a = static_cast<uint8_t>(a + static_cast<uint8_t>(out[i]));
    b = static_cast<uint8_t>(b + a);
  }
  out += static_cast<char>(a);
  out += static_cast<char>(b);
  return out;
}

}  // namespace

std::string WithNmeaChecksum(std::string_view body) {
  uint8_t sum = 0;
  for (char c : body) sum ^= static_cast<uint8_t>(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum);
  std::string out;
  out.reserve(body.size() + 4);
  out += '$';
  out.append(body);
  out += '*';
  out.append(digits, 2);
  return out;
}

std::string CommandSentence(Chip chip, Start start) {
  switch (chip) {
    case Chip::Sirf:
      return WithNmeaChecksum(std::string(kSirfInit) +
                              (start == Start::Hot ? "1" : start == Start::Warm ? "2" : "4"));
    case Chip::Mtk:
      // MediaTek and Quectel: 101 hot, 102 warm, 103 cold.
      return WithNmeaChecksum(start == Start::Hot ? "PMTK101" : start == Start::Warm ? "PMTK102" : "PMTK103");
    case Chip::Skytraq:
    case Chip::Ublox:
      break;
  }
  return {};
}

std::string CommandBytes(Chip chip, Start start) {
  switch (chip) {
    case Chip::Skytraq:
      return SkytraqRestart(start == Start::Hot ? 1 : start == Start::Warm ? 2 : 3);
    case Chip::Ublox:
      return UbloxRestart(start == Start::Hot ? 0x0000 : start == Start::Warm ? 0x0001 : 0xFFFF);
    case Chip::Sirf:
    case Chip::Mtk:
      break;
  }
  return CommandSentence(chip, start) + "\r\n";
}

std::string_view ChipName(Chip chip) {
  switch (chip) {
    case Chip::Sirf: return "sirf";
    case Chip::Skytraq: return "skytraq";
    case Chip::Mtk: return "mtk";
    case Chip::Ublox: return "ublox";
  }
  return {};
}

std::string_view StartName(Start start) {
  switch (start) {
    case Start::Hot: return "hot";
    case Start::Warm: return "warm";
    case Start::Cold: return "cold";
  }
  return {};
}

std::optional<Chip> ParseChip(std::string_view name) {
  for (Chip c : {Chip::Sirf, Chip::Skytraq, Chip::Mtk, Chip::Ublox})
    if (name == ChipName(c)) return c;
  return std::nullopt;
}

std::optional<Start> ParseStart(std::string_view name) {
  for (Start s : {Start::Hot, Start::Warm, Start::Cold})
    if (name == StartName(s)) return s;
  return std::nullopt;
}

}  // namespace restart
