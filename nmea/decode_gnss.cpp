#include <algorithm>

#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

// GNSS mode's decoders: they read the fields of every talker's GSV, GSA, GGA,
// RMC and GNS and report the satellites and fix times to the GNSS sky.

using namespace nmea;

namespace {

// A hexadecimal digit as NMEA 4.10 sends signal and system IDs; 0 otherwise.
int HexId(std::string_view field) {
  if (field.size() != 1) return 0;
  const char c = field[0];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

}  // namespace

// $GLGSV,3,1,10,65,33,212,38,66,71,318,41,72,25,054,35,74,10,298,,1*hh
//        0 1 2  3+4i: number, elevation, azimuth, SNR of satellite i; then,
// from NMEA 4.10 on, the signal ID. Only the field count tells the two forms
// apart: 4n + 3 fields without a signal ID, 4n + 4 with one.
void CNMEAParser::DecodeGnssGSV(Talker talker, const FieldIndex& f, const int64_t* values,
                                uint32_t absent) {
  const int64_t total = values[0];
  const int64_t number = values[1];
  if (total < 1 || total > 99 || number < 1 || number > total) return;
  const int count = f.Count();
  const bool hasSignal = count % 4 == 0;
  const int groups = std::min(4, count / 4 - (hasSignal ? 1 : 0));
  const int lastId = hasSignal ? HexId(f[count - 1]) : 0;
  // Quectel's EC21, EC25 and BG96 put the system ID where NMEA 4.10 puts the
  // signal ID: each system is a sequence of its own, numbered as the system.
  const Talker bySystemId = talker == Talker::PQ ? TalkerOfSystemId(lastId) : Talker::None;
  // An empty number reads as 0, which no system uses.
  Sky.Gsv({talker, bySystemId != Talker::None ? bySystemId : talker, static_cast<uint8_t>(lastId),
           static_cast<uint8_t>(total), static_cast<uint8_t>(number), static_cast<uint8_t>(groups),
           static_cast<uint16_t>(absent >> 3), values + 3});
}

// $GNGSA,A,3,05,13,15,18,,,,,,,,,1.55,0.88,1.27,1*hh
//        0 1 2..13 (numbers in use)  14   15   16   17: system ID (4.10 on)
// One GSA per system and epoch. Without a system ID the numbers themselves
// tell which systems a GSA speaks for.
void CNMEAParser::DecodeGnssGSA(Talker talker, const FieldIndex& f, bool fixTypeFound) {
  const int systemId = f.Count() >= 18 ? HexId(f[17]) : 0;
  const Talker bySystemId = TalkerOfSystemId(systemId);
  GnssSky::GsaReport report;
  report.Numbering = bySystemId != Talker::None ? bySystemId : talker;
  report.Systems = 0;
  report.FixType = fixTypeFound ? GsaFixType : uint8_t{0};
  // DecodeGSA has just read the numbers into GsaActivePrn.
  std::copy_n(GsaActivePrn, 12, report.Used);
  if (bySystemId != Talker::None) {
    static constexpr GnssSystem kBySystemId[] = {GnssSystem::Gps,     GnssSystem::Glonass,
                                                 GnssSystem::Galileo, GnssSystem::BeiDou,
                                                 GnssSystem::Qzss,    GnssSystem::NavIC};
    report.Systems = static_cast<uint8_t>(1u << static_cast<int>(kBySystemId[systemId - 1]));
  }
  const uint8_t epochFixType = Sky.Gsa(report);
  if (fixTypeFound) GsaFixType = epochFixType;
}

void CNMEAParser::NoteEpochTime(const FieldIndex& f) {
  Sky.FixTime(f.Found(0) ? RealValue(f[0]) : -1.0);
}

// $GNGNS,hhmmss.ss,ddmm.mm,N,dddmm.mm,E,AAN,ss,h.h,a.a,g.g,,,V*hh
//        0         1       2 3        4 5   6  7   8
// The fields GGA shares sit in the same places; field 5 holds one mode letter
// per system instead of the quality digit, and the best of them stands for it.
void CNMEAParser::DecodeGNS(const FieldIndex& f) {
  if (GnssSawGga) return;
  const int8_t quality = GgaQuality;
  const char unit = GgaAltitudeUnit;
  DecodeGGA(f);
  GgaQuality = quality;
  // Field 9 is the geoid separation here; GNS altitudes are in metres.
  GgaAltitudeUnit = f.Found(8) ? 'M' : unit;
  NoteEpochTime(f);
  if (!f.Found(5)) return;
  // Mode letter, the GGA quality it means, and its rank among the others.
  static constexpr struct {
    char Letter;
    int8_t Quality;
    int8_t Rank;
  } kModes[] = {{'N', 0, 0}, {'S', 8, 1}, {'M', 7, 2}, {'E', 6, 3}, {'A', 1, 4},
                {'D', 2, 5}, {'P', 3, 6}, {'F', 5, 7}, {'R', 4, 8}};
  int rank = -1;
  for (const char c : f[5]) {
    for (const auto& m : kModes) {
      if (m.Letter == c && m.Rank > rank) {
        rank = m.Rank;
        GgaQuality = m.Quality;
      }
    }
  }
}
