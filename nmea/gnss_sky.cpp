#include "gnss_sky.h"

#include <algorithm>
#include <bit>
#include <cstring>

using nmea::Talker;

namespace {

// A satellite's key among its system's, 1 to 63: its number within the
// system, SBAS PRNs counted from 120. It is the satellite's bit in a set of
// used satellites and its row in the index of listed ones.
int KeyInSystem(GnssSystem system, uint16_t id) {
  return system == GnssSystem::Sbas ? id - 119 : id;
}

// Elevation, azimuth and SNR: -1 when empty, as sent otherwise.
int32_t SmallValue(int64_t v, uint32_t empty) {
  return empty != 0 ? -1 : static_cast<int32_t>(std::clamp<int64_t>(v, -1, 999));
}

}  // namespace

void GnssSky::Reset() {
  count_ = 0;
  used_ = 0;
  for (auto& sat : sats_) sat = GnssSat{};
  sequenceCount_ = 0;
  for (auto& seq : sequences_) seq = Sequence{};
  std::memset(sequenceSlots_, 0, sizeof sequenceSlots_);
  std::memset(reported_, 0, sizeof reported_);
  std::memset(signalSnr_, -1, sizeof signalSnr_);
  std::memset(sequenceListed_, 0, sizeof sequenceListed_);
  std::memset(sequenceCycle_, 0, sizeof sequenceCycle_);
  for (auto& bits : usedKeys_) bits = 0;
  std::memset(entryByKey_, 0, sizeof entryByKey_);
  epochSystems_ = 0;
  epochFixType_ = 0;
  epochChanged_ = false;
  epochTime_ = -1.0;
  epochs_ = 0;
  bytes_ = 0;
}

// Every message after a sequence's first finds its slot at one look.
inline int GnssSky::SequenceSlot(Talker talker, uint8_t signal) {
  const uint8_t slot = sequenceSlots_[static_cast<int>(talker)][signal & 15];
  return slot != 0 ? slot - 1 : NewSequence(talker, signal);
}

int GnssSky::NewSequence(Talker talker, uint8_t signal) {
  if (sequenceCount_ == kSequences) return -1;
  sequences_[sequenceCount_] = Sequence{talker, signal, 0, 0, epochs_, bytes_, epochs_, bytes_, 0, 0};
  sequenceSlots_[static_cast<int>(talker)][signal & 15] = static_cast<uint8_t>(sequenceCount_ + 1);
  return sequenceCount_++;
}

// Nearly every satellite a GSV names is listed already: one look in the index.
inline int GnssSky::Entry(GnssSystem system, uint16_t id) {
  const int index = entryByKey_[static_cast<int>(system)][KeyInSystem(system, id)];
  return index != 0 ? index - 1 : NewEntry(system, id);
}

int GnssSky::NewEntry(GnssSystem system, uint16_t id) {
  const int key = KeyInSystem(system, id);
  if (count_ == kSize) return -1;
  const int i = count_++;
  const bool used = (usedKeys_[static_cast<int>(system)] >> key & 1) != 0;
  sats_[i] = GnssSat{system, id, 0, -1, -1, -1, used};
  used_ = static_cast<uint16_t>(used_ + used);
  reported_[i] = 0;
  std::memset(signalSnr_[i], -1, sizeof signalSnr_[i]);
  entryByKey_[static_cast<int>(system)][key] = static_cast<uint8_t>(i + 1);
  return i;
}

int GnssSky::Signals(int i, SignalSnr* out) const {
  static_assert(kMaxSignals >= kSequences, "a satellite has a signal per sequence at most");
  if (i < 0 || i >= count_) return 0;
  int n = 0;
  for (uint32_t bits = reported_[i]; bits != 0; bits &= bits - 1) {
    const int slot = std::countr_zero(bits);
    out[n++] = SignalSnr{sequences_[slot].Talker, sequences_[slot].Signal, signalSnr_[i][slot]};
  }
  return n;
}

void GnssSky::RefreshSnr(int entry) {
  int32_t best = -1;
  for (uint32_t bits = reported_[entry]; bits != 0; bits &= bits - 1) {
    best = std::max<int32_t>(best, signalSnr_[entry][std::countr_zero(bits)]);
  }
  sats_[entry].Snr = best;
}

// A complete cycle drops this sequence's report from every satellite it no
// longer names; a satellite that no sequence reports any more leaves the list.
void GnssSky::EndCycle(int slot) {
  const uint64_t stale = sequenceListed_[slot] & ~sequenceCycle_[slot];
  sequenceListed_[slot] = sequenceCycle_[slot];
  if (stale == 0) return;
  const uint32_t bit = 1u << slot;
  bool gone = false;
  for (uint64_t left = stale; left != 0; left &= left - 1) {
    const int i = std::countr_zero(left);
    reported_[i] &= ~bit;
    signalSnr_[i][slot] = -1;
    RefreshSnr(i);
    gone |= reported_[i] == 0;
  }
  if (!gone) return;
  // Close the gaps, and renumber the entries in every sequence's sets.
  uint64_t listed[kSequences] = {};
  uint64_t cycle[kSequences] = {};
  int kept = 0;
  for (int i = 0; i < count_; ++i) {
    GnssSat& sat = sats_[i];
    uint8_t& index = entryByKey_[static_cast<int>(sat.System)][KeyInSystem(sat.System, sat.Id)];
    if (reported_[i] == 0) {
      used_ = static_cast<uint16_t>(used_ - sat.Used);
      index = 0;
      continue;
    }
    for (int s = 0; s < sequenceCount_; ++s) {
      listed[s] |= (sequenceListed_[s] >> i & 1) << kept;
      cycle[s] |= (sequenceCycle_[s] >> i & 1) << kept;
    }
    if (kept != i) {
      sats_[kept] = sat;
      reported_[kept] = reported_[i];
      std::memcpy(signalSnr_[kept], signalSnr_[i], sizeof signalSnr_[i]);
      index = static_cast<uint8_t>(kept + 1);
    }
    ++kept;
  }
  count_ = static_cast<uint16_t>(kept);
  std::memcpy(sequenceListed_, listed, sizeof listed);
  std::memcpy(sequenceCycle_, cycle, sizeof cycle);
}

void GnssSky::Gsv(GsvReport report) {
  const int slot = SequenceSlot(report.Talker, report.Signal);
  if (slot < 0) return;
  Sequence& seq = sequences_[slot];
  const uint32_t bit = 1u << slot;
  seq.HeardEpoch = epochs_;
  seq.HeardBytes = bytes_;
  if (report.Number == 1) {
    sequenceCycle_[slot] = 0;
    seq.Total = report.Total;
    seq.Next = 1;
    seq.EpochPeriod = epochs_ - seq.CycleEpoch;
    seq.BytePeriod = bytes_ - seq.CycleBytes;
    seq.CycleEpoch = epochs_;
    seq.CycleBytes = bytes_;
  }
  // A message out of turn still updates its satellites, but the cycle can
  // then no longer tell which satellites were left out.
  const bool inTurn = seq.Next == report.Number && seq.Total == report.Total;
  seq.Next = inTurn ? static_cast<uint8_t>(report.Number + 1) : 0;

  uint64_t listed = 0;  // the entries this message reports
  for (int k = 0; k < report.Count; ++k) {
    const int64_t* const heard = report.Fields + 4 * k;
    const uint32_t empty = report.Empty >> 4 * k;
    GnssSystem system;
    uint16_t id;
    if (!nmea::ClassifySatellite(report.Numbering, heard[0], system, id)) continue;
    const int e = Entry(system, id);
    if (e < 0) continue;
    GnssSat& sat = sats_[e];
    sat.Nmea = static_cast<uint16_t>(heard[0]);
    sat.Elevation = SmallValue(heard[1], empty & 2);
    sat.Azimuth = SmallValue(heard[2], empty & 4);
    // Kept per signal in a byte.
    const int32_t snr = std::min<int32_t>(SmallValue(heard[3], empty & 8), 127);
    const int32_t before = signalSnr_[e][slot];
    signalSnr_[e][slot] = static_cast<int8_t>(snr);
    reported_[e] |= bit;
    listed |= uint64_t{1} << e;
    if (snr >= sat.Snr) {
      sat.Snr = snr;
    } else if (before == sat.Snr) {
      RefreshSnr(e);
    }
  }
  sequenceListed_[slot] |= listed;
  sequenceCycle_[slot] |= listed;
  if (inTurn && report.Number == report.Total) {
    EndCycle(slot);
    seq.Next = 0;
  }
}

uint8_t GnssSky::Gsa(const GsaReport& report) {
  uint64_t used[kGnssSystemCount];
  uint8_t named = 0;  // the systems of the satellites named
  // Most of the twelve fields are empty, and a test costs less than a look in
  // the numbering table.
  for (const uint16_t number : report.Used) {
    GnssSystem system;
    uint16_t id;
    if (number != 0 && nmea::ClassifySatellite(report.Numbering, number, system, id)) {
      const int s = static_cast<int>(system);
      const uint64_t bit = uint64_t{1} << KeyInSystem(system, id);
      used[s] = (named >> s & 1) != 0 ? used[s] | bit : bit;
      named = static_cast<uint8_t>(named | 1u << s);
    }
  }
  const uint8_t speaksFor = report.Systems != 0 ? report.Systems : named;
  // A new fix time begins the next epoch; until its first GSA the previous
  // epoch's satellites stay marked. Within one fix time every GSA adds to the
  // set: a system of more than 12 satellites takes several, and some
  // receivers send a second set, a subset of the first. A receiver that sends
  // no time has only its GSA to go by: a second GSA for a system begins the
  // next epoch.
  if (epochChanged_ || (epochTime_ < 0 && (speaksFor & epochSystems_) != 0)) {
    for (auto& bits : usedKeys_) bits = 0;
    for (int i = 0; i < count_; ++i) sats_[i].Used = false;
    used_ = 0;
    epochSystems_ = 0;
    epochFixType_ = 0;
    epochChanged_ = false;
  }
  epochSystems_ = static_cast<uint8_t>(epochSystems_ | speaksFor);
  // A listed satellite is marked exactly when its bit is set, so only the
  // bits new to the epoch need a look in the list.
  for (unsigned systems = named; systems != 0; systems &= systems - 1) {
    const int s = std::countr_zero(systems);
    const uint64_t fresh = used[s] & ~usedKeys_[s];
    usedKeys_[s] |= used[s];
    for (uint64_t left = fresh; left != 0; left &= left - 1) {
      const int index = entryByKey_[s][std::countr_zero(left)];
      if (index != 0) {
        sats_[index - 1].Used = true;
        ++used_;
      }
    }
  }
  // Each system's GSA repeats the fix type; one without satellites of its own
  // may say less, so the epoch's best holds.
  epochFixType_ = std::max(epochFixType_, report.FixType);
  return epochFixType_;
}

// An empty time field counts as no time: a receiver that loses its time
// goes back to telling epochs apart by its GSA sentences alone.
void GnssSky::FixTime(double time) {
  const double t = time < 0 ? -1.0 : time;
  if (t == epochTime_) return;
  epochTime_ = t;
  epochChanged_ = true;
  if (t < 0) return;
  ++epochs_;
  DropStaleSequences();
}

void GnssSky::CountBytes(uint32_t bytes) {
  bytes_ += bytes;
  DropStaleSequences();
}

// A sequence no longer sent (a signal switched off, a band that lost every
// satellite and sends nothing for it) drops its report from every satellite
// once it has missed two fix epochs, or 3 s of received data while the
// receiver sends no time. Receivers that send GSV every few fixes (SiRF,
// MediaTek's PMTK314 rates) miss more, so the span stretches to two of the
// sequence's own cycles where those are longer.
void GnssSky::DropStaleSequences() {
  const bool timed = epochTime_ >= 0;
  for (int s = 0; s < sequenceCount_; ++s) {
    Sequence& seq = sequences_[s];
    const uint64_t silent = timed ? epochs_ - seq.HeardEpoch : bytes_ - seq.HeardBytes;
    const uint64_t cycles = 2 * uint64_t{timed ? seq.EpochPeriod : seq.BytePeriod};
    const bool stale = silent > std::max<uint64_t>(timed ? 2 : kStaleBytes, cycles);
    if (stale && sequenceListed_[s] != 0) {
      sequenceCycle_[s] = 0;
      seq.Next = 0;
      EndCycle(s);
    }
  }
}
