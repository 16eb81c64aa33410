#include "nmea_parser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "field_index.h"

CNMEAParser::CNMEAParser()
    : ReaderState(WaitStart), RunningXor(0), ReceivedXor(0), BufLen(0), NameBuf{}, DataBuf{},
      CommaCount(0), CommaPos{}, TextLen(0), SentenceTotal(0) {
  ResetRecord();
}

CNMEAParser::~CNMEAParser() = default;

void CNMEAParser::CopyStateFrom(const CNMEAParser& other) {
  if (&other == this) return;
  const GgaListener listener = GgaListen;
  void* const context = GgaListenContext;
  ReaderWatch* const watch = Watch;
  // Every member is a plain value (no pointer into the parser itself), so a
  // member-wise copy is a complete, independent state.
  *this = other;
  GgaListen = listener;
  GgaListenContext = context;
  Watch = watch;
}

namespace {

// "0".."9" give 0..9 and "A".."F" 10..15. A lowercase letter comes out 32 too
// high: as the first digit the shift drops the excess, as the second it sets
// bit 0x20, so such a checksum passes only when that bit is set anyway.
int ChecksumDigit(uint8_t c) {
  const int v = c - 48;
  return v <= 9 ? v : c - 55;
}

// Bytes of a data part that need more than storing: the ones that end it and
// the ones the field index notes.
constexpr auto kDataSpecial = [] {
  std::array<bool, 256> t{};
  for (const unsigned char c : {'*', '$', '\r', ',', '\0'}) t[c] = true;
  return t;
}();

constexpr uint64_t Broadcast(char c) { return 0x0101010101010101u * static_cast<uint8_t>(c); }

// Nonzero when some byte of `v` is below `n` (n at most 128).
constexpr uint64_t HasByteBelow(uint64_t v, uint8_t n) {
  return (v - Broadcast(static_cast<char>(n))) & ~v & 0x8080808080808080u;
}

// The high bit of each byte of `v` that is zero, and no other bit.
constexpr uint64_t ZeroBytes(uint64_t v) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  return ~(((v & kLow7) + kLow7) | v | kLow7);
}

}  // namespace

void CNMEAParser::StartSentence() {
  if (Watch != nullptr && ReaderState != WaitStart) {
    Watch->SentenceEnded(
        ReaderState >= ChecksumHigh ? SentenceEnd::CutShort : SentenceEnd::NoChecksum, false);
  }
  RunningXor = 0;
  BufLen = 0;
  CommaCount = 0;
  TextLen = sizeof DataBuf;
  ReaderState = InName;
}

// The reader's states, byte by byte: WaitStart skips to a "$"; InName collects
// up to 7 name characters until "," or "*"; InData collects up to 255 data
// characters until "*" (checksum follows) or CR (dispatched unchecked); the two
// checksum states read one hex digit each. The checksum covers everything
// between "$" and the data part's "*". A "$" in any state starts a new
// sentence, so an unfinished one (no checksum, or cut short after "*") is
// abandoned rather than swallowing the good ones after it. Each state takes
// as many bytes as it can in one loop; any chunking gives the same result.
bool CNMEAParser::FeedBytes(const char* bytes, uint32_t length) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes);
  const auto* const end = p + length;
  while (p != end) {
    switch (ReaderState) {
      case WaitStart: {
        const void* dollar = std::memchr(p, '$', static_cast<size_t>(end - p));
        if (Watch != nullptr) {
          const auto* const stop = dollar != nullptr ? static_cast<const uint8_t*>(dollar) : end;
          if (stop != p) Watch->BytesSkipped(static_cast<uint32_t>(stop - p));
        }
        if (dollar == nullptr) return true;
        p = static_cast<const uint8_t*>(dollar) + 1;
        StartSentence();
        break;
      }
      case InName: {
        uint8_t x = RunningXor;
        unsigned n = BufLen;
        while (p != end) {
          const uint8_t b = *p++;
          if (b == '$') {
            StartSentence();
            x = 0;
            n = 0;
            continue;
          }
          x ^= b;
          if (b == ',' || b == '*') {
            NameBuf[n] = '\0';
            n = 0;
            ReaderState = InData;
            break;
          }
          NameBuf[n++] = static_cast<char>(b);
          if (n == sizeof NameBuf) {
            ReaderState = WaitStart;
            EndUndecoded(SentenceEnd::Overlong);
            break;
          }
        }
        RunningXor = x;
        BufLen = static_cast<uint16_t>(n);
        break;
      }
      case InData: {
        // Nearly every byte of a sentence belongs to its data part: store and
        // XOR eight bytes at a time while none of them ends the part or is a
        // NUL, noting the commas on the way; single bytes otherwise.
        uint8_t x = RunningXor;
        unsigned n = BufLen;
        const size_t room = sizeof DataBuf - n;
        const auto* const stop = static_cast<size_t>(end - p) < room ? end : p + room;
        uint64_t wordXor = 0;
        uint8_t b = 0;
        unsigned commaCount = CommaCount;
        for (;;) {
          if constexpr (std::endian::native == std::endian::little) {
            // Every byte that ends a data part or is a NUL lies below ","; so
            // do a few ordinary ones (space, "+"), which take the single path.
            while (stop - p >= 8) {
              uint64_t v;
              std::memcpy(&v, p, 8);
              if (HasByteBelow(v, '+')) break;
              if (TextLen == sizeof DataBuf) {
                for (uint64_t commas = ZeroBytes(v ^ Broadcast(',')); commas != 0;
                     commas &= commas - 1) {
                  if (commaCount == kIndexedCommas) break;
                  CommaPos[commaCount++] =
                      static_cast<uint8_t>(n + static_cast<unsigned>(std::countr_zero(commas)) / 8);
                }
              }
              std::memcpy(DataBuf + n, p, 8);
              wordXor ^= v;
              n += 8;
              p += 8;
            }
          }
          if (p == stop) break;
          b = *p;
          if (kDataSpecial[b]) {
            if (b == ',') {
              if (commaCount < kIndexedCommas && TextLen == sizeof DataBuf) {
                CommaPos[commaCount++] = static_cast<uint8_t>(n);
              }
            } else if (b == '\0') {
              if (TextLen == sizeof DataBuf) TextLen = static_cast<uint16_t>(n);
            } else {
              break;
            }
          }
          x ^= b;
          DataBuf[n++] = static_cast<char>(b);
          ++p;
        }
        CommaCount = static_cast<uint8_t>(commaCount);
        wordXor ^= wordXor >> 32;
        wordXor ^= wordXor >> 16;
        wordXor ^= wordXor >> 8;
        x ^= static_cast<uint8_t>(wordXor);
        RunningXor = x;
        BufLen = static_cast<uint16_t>(n);
        if (n == sizeof DataBuf) {
          ReaderState = WaitStart;
          EndUndecoded(SentenceEnd::Overlong);
        } else if (p != end) {
          ++p;
          if (b == '$') {
            StartSentence();
          } else {
            DataBuf[n] = '\0';
            if (b == '*') {
              ReaderState = ChecksumHigh;
              // Both checksum digits at hand (the usual case): take them now.
              if (end - p >= 2 && p[0] != '$' && p[1] != '$') {
                ReceivedXor = static_cast<uint8_t>(ChecksumDigit(p[0]) * 16 |
                                                   static_cast<uint8_t>(ChecksumDigit(p[1])));
                p += 2;
                ReaderState = WaitStart;
                if (ReceivedXor == RunningXor) {
                  Dispatch(true);
                } else {
                  EndUndecoded(SentenceEnd::BadChecksum);
                }
              }
            } else {
              ReaderState = WaitStart;
              Dispatch(false);
            }
          }
        }
        break;
      }
      case ChecksumHigh: {
        const uint8_t b = *p++;
        if (b == '$') {
          StartSentence();
        } else {
          ReceivedXor = static_cast<uint8_t>(ChecksumDigit(b) * 16);
          ReaderState = ChecksumLow;
        }
        break;
      }
      case ChecksumLow: {
        const uint8_t b = *p++;
        if (b == '$') {
          StartSentence();
        } else {
          ReceivedXor = static_cast<uint8_t>(ReceivedXor | static_cast<uint8_t>(ChecksumDigit(b)));
          ReaderState = WaitStart;
          if (ReceivedXor == RunningXor) {
            Dispatch(true);
          } else {
            EndUndecoded(SentenceEnd::BadChecksum);
          }
        }
        break;
      }
      default:
        ReaderState = WaitStart;
        break;
    }
  }
  return true;
}

void CNMEAParser::Dispatch(bool checksummed) {
  const bool decoded = DispatchSentence(
      NameBuf, nmea::FieldIndex(DataBuf, CommaPos, CommaCount, std::min<int>(TextLen, BufLen)),
      checksummed);
  if (Watch != nullptr) {
    Watch->SentenceEnded(checksummed ? SentenceEnd::Checksummed : SentenceEnd::Unchecked, decoded);
  }
  // The data part, and "$", a five-character address, ",", "*hh", CR LF.
  if (GnssOn) Sky.SentenceReceived(BufLen + 12u);
}

namespace {

enum class Sentence : uint8_t { Other, GGA, GSA, GSV, RMB, RMC, ZDA, GNS };

Sentence SentenceOf(const char* type) {
  switch (type[0]) {
    case 'G':
      if (type[1] == 'G' && type[2] == 'A') return Sentence::GGA;
      if (type[1] == 'S' && type[2] == 'A') return Sentence::GSA;
      if (type[1] == 'S' && type[2] == 'V') return Sentence::GSV;
      if (type[1] == 'N' && type[2] == 'S') return Sentence::GNS;
      return Sentence::Other;
    case 'R':
      if (type[1] == 'M' && type[2] == 'B') return Sentence::RMB;
      if (type[1] == 'M' && type[2] == 'C') return Sentence::RMC;
      return Sentence::Other;
    case 'Z':
      return type[1] == 'D' && type[2] == 'A' ? Sentence::ZDA : Sentence::Other;
    default:
      return Sentence::Other;
  }
}

}  // namespace

bool CNMEAParser::DispatchSentence(const char* name, const nmea::FieldIndex& fields,
                                   bool checksummed) {
  bool decoded = false;
  // Only five-character addresses are sentences of the kinds decoded here.
  if (name[0] != '\0' && name[1] != '\0' && name[2] != '\0' && name[3] != '\0' &&
      name[4] != '\0' && name[5] == '\0') {
    const nmea::Talker talker = nmea::TalkerOf(name);
    const Sentence type = SentenceOf(name + 2);
    if (checksummed && talker != nmea::Talker::None &&
        (type == Sentence::RMC || type == Sentence::GGA || type == Sentence::GSA)) {
      ++(talker == nmea::Talker::GP ? GpFixSentences : OtherTalkerFixSentences);
    }
    // By default only the GPS talker is decoded; GNGGA and the like are merely
    // counted. GNSS mode reads every satellite-system talker.
    if (talker == nmea::Talker::GP || (GnssOn && talker != nmea::Talker::None)) {
      decoded = type != Sentence::Other && (type != Sentence::GNS || GnssOn);
      switch (type) {
        case Sentence::GGA: {
          DecodeGGA(fields);
          if (GnssOn) {
            GnssSawGga = true;
            NoteEpochTime(fields);
          }
          if (GgaListen != nullptr) GgaListen(GgaListenContext, *this, GgaSent{GgaFieldsSent, fields[0]});
          break;
        }
        case Sentence::GSA:
          DecodeGSA(fields);
          if (GnssOn) DecodeGnssGSA(talker, fields, fields.Found(1));
          break;
        case Sentence::GSV: {
          // The fields are converted once for both satellite lists.
          int64_t values[kGsvValues];
          const uint32_t absent = fields.Integers(0, kGsvValues, 0, values);
          if (talker == nmea::Talker::GP) DecodeGSV(values, absent);
          if (GnssOn) DecodeGnssGSV(talker, fields, values, absent);
          break;
        }
        case Sentence::RMB:
          DecodeRMB(fields);
          break;
        case Sentence::RMC:
          DecodeRMC(fields);
          if (GnssOn) NoteEpochTime(fields);
          break;
        case Sentence::ZDA:
          DecodeZDA(fields);
          break;
        case Sentence::GNS:
          if (GnssOn) DecodeGNS(fields);
          break;
        case Sentence::Other:
          break;
      }
    }
  }
  ++SentenceTotal;
  return decoded;
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
  GgaAltitudeUnit = '\0';
  GgaFieldsSent = 0;
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
  RmcTrackSent = false;
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

  GpFixSentences = 0;
  OtherTalkerFixSentences = 0;
  ResetGnss();
}

void CNMEAParser::SetGnssMode(bool on) {
  GnssOn = on;
  ResetGnss();
}

void CNMEAParser::ResetGnss() {
  Sky.Reset();
  GnssSawGga = false;
}

bool CNMEAParser::IsPrnInSolution(uint16_t prn) const {
  if (prn == 0) return false;
  for (int slot = 0; slot < 12; ++slot) {
    if (GsaActivePrn[slot] == prn) return true;
  }
  return false;
}
