#include "nmea_parser.h"

#include <cstring>

CNMEAParser::CNMEAParser()
    : ReaderState(WaitStart), RunningXor(0), ReceivedXor(0), BufLen(0), NameBuf{}, DataBuf{},
      SentenceTotal(0) {
  ResetRecord();
}

CNMEAParser::~CNMEAParser() = default;

namespace {

// "0".."9" give 0..9 and "A".."F" 10..15. A lowercase letter comes out 32 too
// high: as the first digit the shift drops the excess, as the second it sets
// bit 0x20, so such a checksum passes only when that bit is set anyway.
int ChecksumDigit(uint8_t c) {
  const int v = c - 48;
  return v <= 9 ? v : c - 55;
}

}  // namespace

bool CNMEAParser::FeedBytes(const char* bytes, uint32_t length) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes);
  const auto* const end = p + length;
  while (p != end) {
    if (ReaderState == InData) {
      // Nearly every byte of a sentence belongs to its data part; take them in
      // one tight loop and leave the bytes that end it to ConsumeByte.
      uint8_t x = RunningXor;
      unsigned n = BufLen;
      while (p != end) {
        const uint8_t b = *p;
        if (b == '*' || b == '$' || b == '\r') break;
        x ^= b;
        DataBuf[n++] = static_cast<char>(b);
        ++p;
        if (n == sizeof DataBuf) {
          ReaderState = WaitStart;
          break;
        }
      }
      RunningXor = x;
      BufLen = static_cast<uint16_t>(n);
      if (p == end || ReaderState != InData) continue;
    }
    ConsumeByte(*p++);
  }
  return true;
}

void CNMEAParser::ConsumeByte(uint8_t byte) {
  // A "$" always starts a new sentence: an unfinished one (no checksum, or cut
  // short after "*") is abandoned rather than swallowing the good ones after it.
  if (byte == '$') {
    RunningXor = 0;
    BufLen = 0;
    ReaderState = InName;
    return;
  }
  switch (ReaderState) {
    case WaitStart:
      break;
    case InName:
      RunningXor ^= byte;
      if (byte == ',' || byte == '*') {
        NameBuf[BufLen] = '\0';
        BufLen = 0;
        ReaderState = InData;
      } else {
        NameBuf[BufLen++] = static_cast<char>(byte);
        if (BufLen == sizeof NameBuf) ReaderState = WaitStart;
      }
      break;
    case InData:
      if (byte == '*') {
        DataBuf[BufLen] = '\0';
        ReaderState = ChecksumHigh;
      } else if (byte == '\r') {
        DataBuf[BufLen] = '\0';
        ReaderState = WaitStart;
        DispatchSentence(NameBuf, DataBuf);
      } else {
        RunningXor ^= byte;
        DataBuf[BufLen++] = static_cast<char>(byte);
        if (BufLen == sizeof DataBuf) ReaderState = WaitStart;
      }
      break;
    case ChecksumHigh:
      ReceivedXor = static_cast<uint8_t>(ChecksumDigit(byte) * 16);
      ReaderState = ChecksumLow;
      break;
    case ChecksumLow:
      ReceivedXor = static_cast<uint8_t>(ReceivedXor | static_cast<uint8_t>(ChecksumDigit(byte)));
      ReaderState = WaitStart;
      if (ReceivedXor == RunningXor) DispatchSentence(NameBuf, DataBuf);
      break;
    default:
      ReaderState = WaitStart;
      break;
  }
}

void CNMEAParser::DispatchSentence(const char* name, const char* data) {
  // Only the GPS talker is decoded; GNGGA and the like are merely counted.
  if (name[0] == 'G' && name[1] == 'P' && name[2] != '\0' && name[3] != '\0' &&
      name[4] != '\0' && name[5] == '\0') {
    const char* type = name + 2;
    if (std::memcmp(type, "GGA", 3) == 0) {
      DecodeGGA(data);
    } else if (std::memcmp(type, "GSA", 3) == 0) {
      DecodeGSA(data);
    } else if (std::memcmp(type, "GSV", 3) == 0) {
      DecodeGSV(data);
    } else if (std::memcmp(type, "RMB", 3) == 0) {
      DecodeRMB(data);
    } else if (std::memcmp(type, "RMC", 3) == 0) {
      DecodeRMC(data);
    } else if (std::memcmp(type, "ZDA", 3) == 0) {
      DecodeZDA(data);
    }
  }
  ++SentenceTotal;
}

void CNMEAParser::ResetRecord() {
  GgaUtcHour = 0;
  GgaUtcMinute = 0;
  GgaUtcSecond = 0;
  GgaLat = 0.0;
  GgaLon = 0.0;
  GgaQuality = 0;
  GgaSatsUsed = 0;
  GgaHdop = 0.0;
  GgaAltitude = 0.0;
  GgaSentences = 0;
  GgaPrevTimeSec = 0;
  GgaPrevAltitude = 0.0;
  GgaClimbRate = 0.0;

  GsaSelection = 'M';
  GsaFixType = 1;
  for (auto& prn : GsaActivePrn) prn = 0;
  GsaPdop = 0.0;
  GsaHdop = 0.0;
  GsaVdop = 0.0;
  GsaSentences = 0;

  GsvInView = 0;
  for (auto& sat : GsvSat) sat = SatEntry{};
  GsvSentences = 0;

  RmbStatus = 'V';
  RmbXte = 0.0;
  RmbSteer = '?';
  std::memset(RmbFromId, 0, sizeof RmbFromId);
  std::memset(RmbToId, 0, sizeof RmbToId);
  RmbToLat = 0.0;
  RmbToLon = 0.0;
  RmbRange = 0.0;
  RmbBearing = 0.0;
  RmbClosing = 0.0;
  RmbArrival = 'V';
  RmbSentences = 0;

  RmcUtcHour = 0;
  RmcUtcMinute = 0;
  RmcUtcSecond = 0;
  RmcStatus = 'V';
  RmcLat = 0.0;
  RmcLon = 0.0;
  RmcSpeedKnots = 0.0;
  RmcTrack = 0.0;
  RmcDay = 1;
  RmcMonth = 1;
  RmcYear = 2000;
  RmcVariation = 0.0;
  RmcSentences = 0;

  ZdaUtcHour = 0;
  ZdaUtcMinute = 0;
  ZdaUtcSecond = 0;
  ZdaDay = 1;
  ZdaMonth = 1;
  ZdaYear = 2000;
  ZdaZoneHours = 0;
  ZdaZoneMinutes = 0;
  ZdaSentences = 0;
}

bool CNMEAParser::IsPrnInSolution(uint16_t prn) const {
  if (prn == 0) return false;
  for (int slot = 0; slot < 12; ++slot) {
    if (GsaActivePrn[slot] == prn) return true;
  }
  return false;
}
