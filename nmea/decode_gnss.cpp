#include <algorithm>
#include <bit>
#include <cstring>

#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

// GNSS mode's satellite list. Every talker's GSV cycles feed one list of
// satellites keyed by system and number; the GSA sentences of one epoch
// together say which of them are used.

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

// Elevation, azimuth and SNR: -1 when empty, as sent otherwise.
int16_t SmallValue(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, -1, 999)); }

// Each satellite's bit among its system's: its number within the system,
// counted from 120 for SBAS PRNs (so 1 to 63 for every system).
int UsedBit(GnssSystem system, uint16_t id) {
  return system == GnssSystem::Sbas ? id - 119 : id;
}

}  // namespace

int CNMEAParser::GsvSequenceSlot(Talker talker, uint8_t signal) {
  uint8_t& slot = SequenceSlot[static_cast<int>(talker)][signal & 15];
  if (slot != 0) return slot - 1;
  if (GnssSequenceCount == kGsvSequences) return -1;
  GnssSequences[GnssSequenceCount] =
      GsvSequence{talker, signal, 0, 0, GnssEpochs, GnssBytes, GnssEpochs, GnssBytes, 0, 0};
  slot = static_cast<uint8_t>(GnssSequenceCount + 1);
  return GnssSequenceCount++;
}

// Nearly every satellite a GSV names is listed already: one look in the index.
inline int CNMEAParser::GnssEntry(GnssSystem system, uint16_t id) {
  const int bit = UsedBit(system, id);
  const int index = GnssIndex[static_cast<int>(system)][bit];
  return index != 0 ? index - 1 : NewGnssEntry(system, id);
}

int CNMEAParser::NewGnssEntry(GnssSystem system, uint16_t id) {
  const int bit = UsedBit(system, id);
  uint8_t& index = GnssIndex[static_cast<int>(system)][bit];
  if (GnssInView == kGnssTableSize) return -1;
  const int i = GnssInView++;
  const bool used = (GnssUsedIds[static_cast<int>(system)] >> bit & 1) != 0;
  GnssSats[i] = GnssSat{system, id, 0, -1, -1, -1, used};
  GnssUsed = static_cast<uint16_t>(GnssUsed + used);
  GnssReported[i] = 0;
  std::memset(GnssSignalSnr[i], -1, sizeof GnssSignalSnr[i]);
  index = static_cast<uint8_t>(i + 1);
  return i;
}

void CNMEAParser::RefreshSnr(int entry) {
  int16_t best = -1;
  for (uint32_t bits = GnssReported[entry]; bits != 0; bits &= bits - 1) {
    best = std::max<int16_t>(best, GnssSignalSnr[entry][std::countr_zero(bits)]);
  }
  GnssSats[entry].Snr = best;
}

// A complete cycle drops this sequence's report from every satellite it no
// longer names; a satellite that no sequence reports any more leaves the list.
void CNMEAParser::EndGsvCycle(int slot) {
  const uint64_t stale = SequenceListed[slot] & ~SequenceCycle[slot];
  SequenceListed[slot] = SequenceCycle[slot];
  if (stale == 0) return;
  const uint32_t bit = 1u << slot;
  bool gone = false;
  for (uint64_t left = stale; left != 0; left &= left - 1) {
    const int i = std::countr_zero(left);
    GnssReported[i] &= ~bit;
    GnssSignalSnr[i][slot] = -1;
    RefreshSnr(i);
    gone |= GnssReported[i] == 0;
  }
  if (!gone) return;
  // Close the gaps, and renumber the entries in every sequence's sets.
  uint64_t listed[kGsvSequences] = {};
  uint64_t cycle[kGsvSequences] = {};
  int kept = 0;
  for (int i = 0; i < GnssInView; ++i) {
    GnssSat& sat = GnssSats[i];
    uint8_t& index = GnssIndex[static_cast<int>(sat.System)][UsedBit(sat.System, sat.Id)];
    if (GnssReported[i] == 0) {
      GnssUsed = static_cast<uint16_t>(GnssUsed - sat.Used);
      index = 0;
      continue;
    }
    for (int s = 0; s < GnssSequenceCount; ++s) {
      listed[s] |= (SequenceListed[s] >> i & 1) << kept;
      cycle[s] |= (SequenceCycle[s] >> i & 1) << kept;
    }
    if (kept != i) {
      GnssSats[kept] = sat;
      GnssReported[kept] = GnssReported[i];
      std::memcpy(GnssSignalSnr[kept], GnssSignalSnr[i], sizeof GnssSignalSnr[i]);
      index = static_cast<uint8_t>(kept + 1);
    }
    ++kept;
  }
  GnssInView = static_cast<uint16_t>(kept);
  std::memcpy(SequenceListed, listed, sizeof listed);
  std::memcpy(SequenceCycle, cycle, sizeof cycle);
}

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
  const Talker numbering = bySystemId != Talker::None ? bySystemId : talker;
  const int slot = GsvSequenceSlot(talker, static_cast<uint8_t>(lastId));
  if (slot < 0) return;
  GsvSequence& seq = GnssSequences[slot];
  const uint32_t bit = 1u << slot;
  seq.HeardEpoch = GnssEpochs;
  seq.HeardBytes = GnssBytes;
  if (number == 1) {
    SequenceCycle[slot] = 0;
    seq.Total = static_cast<uint8_t>(total);
    seq.Next = 1;
    seq.EpochPeriod = GnssEpochs - seq.CycleEpoch;
    seq.BytePeriod = GnssBytes - seq.CycleBytes;
    seq.CycleEpoch = GnssEpochs;
    seq.CycleBytes = GnssBytes;
  }
  // A message out of turn still updates its satellites, but the cycle can
  // then no longer tell which satellites were left out.
  const bool inTurn = seq.Next == number && seq.Total == total;
  seq.Next = inTurn ? static_cast<uint8_t>(number + 1) : 0;

  for (int g = 0; g < groups; ++g) {
    const int64_t* const field = values + 3 + 4 * g;
    const uint32_t empty = absent >> (3 + 4 * g);
    GnssSystem system;
    uint16_t id;
    // An empty number reads as 0, which no system uses.
    if (!ClassifySatellite(numbering, field[0], system, id)) continue;
    const int e = GnssEntry(system, id);
    if (e < 0) continue;
    GnssSat& sat = GnssSats[e];
    sat.Nmea = static_cast<uint16_t>(field[0]);
    sat.Elevation = (empty & 2) != 0 ? -1 : SmallValue(field[1]);
    sat.Azimuth = (empty & 4) != 0 ? -1 : SmallValue(field[2]);
    const int16_t snr = (empty & 8) != 0 ? -1 : std::min<int16_t>(SmallValue(field[3]), 127);
    const int16_t before = GnssSignalSnr[e][slot];
    GnssSignalSnr[e][slot] = static_cast<int8_t>(snr);
    GnssReported[e] |= bit;
    SequenceListed[slot] |= uint64_t{1} << e;
    SequenceCycle[slot] |= uint64_t{1} << e;
    if (snr >= sat.Snr) {
      sat.Snr = snr;
    } else if (before == sat.Snr) {
      RefreshSnr(e);
    }
  }
  if (inTurn && number == total) {
    EndGsvCycle(slot);
    seq.Next = 0;
  }
}

// $GNGSA,A,3,05,13,15,18,,,,,,,,,1.55,0.88,1.27,1*hh
//        0 1 2..13 (numbers in use)  14   15   16   17: system ID (4.10 on)
// One GSA per system and epoch. Without a system ID the numbers themselves
// tell which systems a GSA speaks for.
void CNMEAParser::DecodeGnssGSA(Talker talker, const FieldIndex& f, bool fixTypeFound) {
  const int systemId = f.Count() >= 18 ? HexId(f[17]) : 0;
  const Talker bySystemId = TalkerOfSystemId(systemId);
  const Talker numbering = bySystemId != Talker::None ? bySystemId : talker;
  // DecodeGSA has just read the numbers into GsaActivePrn; here they become
  // a set of used bits for each system they belong to.
  uint64_t used[kGnssSystemCount];
  uint8_t named = 0;  // the systems of those numbers
  for (int slot = 0; slot < 12; ++slot) {
    GnssSystem system;
    uint16_t id;
    if (ClassifySatellite(numbering, GsaActivePrn[slot], system, id)) {
      const int s = static_cast<int>(system);
      const uint64_t bit = uint64_t{1} << UsedBit(system, id);
      used[s] = (named >> s & 1) != 0 ? used[s] | bit : bit;
      named = static_cast<uint8_t>(named | 1u << s);
    }
  }
  uint8_t systemMask = named;
  if (bySystemId != Talker::None) {
    static constexpr GnssSystem kBySystemId[] = {GnssSystem::Gps,     GnssSystem::Glonass,
                                                 GnssSystem::Galileo, GnssSystem::BeiDou,
                                                 GnssSystem::Qzss,    GnssSystem::NavIC};
    systemMask = static_cast<uint8_t>(1u << static_cast<int>(kBySystemId[systemId - 1]));
  }
  // A new fix time begins the next epoch; until its first GSA the previous
  // epoch's satellites stay marked. Within one fix time every GSA adds to the
  // set: a system of more than 12 satellites takes several, and some
  // receivers send a second set, a subset of the first. A receiver that sends
  // no time has only its GSA to go by: a second GSA for a system begins the
  // next epoch.
  if (GnssEpochChanged || (GnssEpochTime < 0 && (systemMask & GnssEpochSystems) != 0)) {
    for (auto& bits : GnssUsedIds) bits = 0;
    for (int i = 0; i < GnssInView; ++i) GnssSats[i].Used = false;
    GnssUsed = 0;
    GnssEpochSystems = 0;
    GnssEpochFixType = 0;
    GnssEpochChanged = false;
  }
  GnssEpochSystems = static_cast<uint8_t>(GnssEpochSystems | systemMask);
  // A listed satellite is marked exactly when its bit is set, so only the
  // bits new to the epoch need a look in the list.
  for (unsigned systems = named; systems != 0; systems &= systems - 1) {
    const int s = std::countr_zero(systems);
    const uint64_t fresh = used[s] & ~GnssUsedIds[s];
    GnssUsedIds[s] |= used[s];
    for (uint64_t left = fresh; left != 0; left &= left - 1) {
      const int index = GnssIndex[s][std::countr_zero(left)];
      if (index != 0) {
        GnssSats[index - 1].Used = true;
        ++GnssUsed;
      }
    }
  }
  // Each system's GSA repeats the fix type; one without satellites of its own
  // may say less, so the epoch's best holds.
  if (fixTypeFound) {
    GnssEpochFixType = std::max(GnssEpochFixType, GsaFixType);
    GsaFixType = GnssEpochFixType;
  }
}

// An empty time field counts as no time: a receiver that loses its time
// goes back to telling epochs apart by its GSA sentences alone.
void CNMEAParser::NoteEpochTime(const FieldIndex& f) {
  double t = f.Found(0) ? RealValue(f[0]) : -1.0;
  if (t < 0) t = -1.0;
  if (t == GnssEpochTime) return;
  GnssEpochTime = t;
  GnssEpochChanged = true;
  if (t < 0) return;
  ++GnssEpochs;
  DropStaleSequences();
}

// A sequence no longer sent (a signal switched off, a band that lost every
// satellite and sends nothing for it) drops its report from every satellite
// once it has missed two fix epochs, or 3 s of received data while the
// receiver sends no time. Receivers that send GSV every few fixes (SiRF,
// MediaTek's PMTK314 rates) miss more, so the span stretches to two of the
// sequence's own cycles where those are longer.
void CNMEAParser::DropStaleSequences() {
  const bool timed = GnssEpochTime >= 0;
  for (int s = 0; s < GnssSequenceCount; ++s) {
    GsvSequence& seq = GnssSequences[s];
    const uint64_t silent = timed ? GnssEpochs - seq.HeardEpoch : GnssBytes - seq.HeardBytes;
    const uint64_t cycles = 2 * uint64_t{timed ? seq.EpochPeriod : seq.BytePeriod};
    const bool stale = silent > std::max<uint64_t>(timed ? 2 : kStaleBytes, cycles);
    if (stale && SequenceListed[s] != 0) {
      SequenceCycle[s] = 0;
      seq.Next = 0;
      EndGsvCycle(s);
    }
  }
}

// $GNGNS,hhmmss.ss,ddmm.mm,N,dddmm.mm,E,AAN,ss,h.h,a.a,g.g,,,V*hh
//        0         1       2 3        4 5   6  7   8
// The fields GGA shares sit in the same places; field 5 holds one mode letter
// per system instead of the quality digit, and the best of them stands for it.
void CNMEAParser::DecodeGNS(const FieldIndex& f) {
  if (GnssSawGga) return;
  const int8_t quality = GgaQuality;
  DecodeGGA(f);
  GgaQuality = quality;
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
