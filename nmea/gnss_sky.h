#pragma once

#include <cstdint>
#include <span>

#include "gnss_satellites.h"

// GNSS mode's satellites. Every talker's GSV cycles feed one list keyed by
// system and number; the GSA reports of one fix epoch together say which of
// them are used. The decoders read the sentences' fields and report them here.
class GnssSky {
 public:
  static constexpr int kSize = 64;

  // One GSV message. A talker's messages for one signal are a sequence of
  // cycles, and each complete cycle replaces only what its own sequence's
  // previous cycle reported.
  struct GsvReport {
    nmea::Talker Talker;     // whose sequence it is
    nmea::Talker Numbering;  // whose numbers its satellites have
    uint8_t Signal;          // the signal ID of NMEA 4.10 and later, 0 before
    uint8_t Total;           // messages in the cycle, 1 to 99
    uint8_t Number;          // this message's, 1 to Total
    uint8_t Count;           // satellites in the message, 0 to 4
    // The message's satellite fields as read, four a satellite: its number as
    // sent (a number that no system uses is passed over), elevation, azimuth
    // and SNR. Bit 4k + j of Empty is set where field j of satellite k was
    // empty. Read in place from the sentence's converted fields, so that the
    // report is small enough to travel in registers.
    uint16_t Empty;
    const int64_t* Fields;
  };

  // One GSA: the satellites it names as used, and the systems it speaks for.
  struct GsaReport {
    nmea::Talker Numbering;  // whose numbers its satellites have
    // The system its system ID names, a bit per GnssSystem; without one, 0:
    // then it speaks for the systems of its satellites.
    uint8_t Systems;
    uint8_t FixType;    // 0 when the field is empty
    uint16_t Used[12];  // as sent, 0 where empty
  };

  GnssSky() { Reset(); }
  void Reset();

  void Gsv(GsvReport report);
  // Returns the best fix type of the epoch's GSA reports so far.
  uint8_t Gsa(const GsaReport& report);
  // The time of a GGA, RMC or GNS, negative for an empty field. A new time
  // begins the next fix epoch.
  void FixTime(double time);
  // A sentence of `bytes` bytes has arrived: while the receiver sends no
  // time, received data is the clock by which a GSV sequence goes stale.
  void SentenceReceived(uint32_t bytes) {
    if (epochTime_ < 0) CountBytes(bytes);
  }

  // The satellites that some sequence's last complete cycle, or the cycle
  // being collected, reported; in the order they were first reported.
  std::span<const GnssSat> Satellites() const { return {sats_, count_}; }
  uint16_t InView() const { return count_; }

  // One signal a satellite is reported on: its GSV sequence's talker and
  // signal ID (0 before NMEA 4.10; for PQ the system ID) and the SNR, -1
  // where the field was empty.
  struct SignalSnr {
    nmea::Talker Talker;
    uint8_t Signal;
    int8_t Snr;
  };
  static constexpr int kMaxSignals = 32;  // one per sequence
  // The signals of Satellites()[i] into `out` (room for kMaxSignals), in the
  // order their sequences were first heard; returns how many.
  int Signals(int i, SignalSnr* out) const;
  uint16_t Used() const { return used_; }

 private:
  // Where a GSV sequence stands. Its clocks: where epochs_ and bytes_ stood
  // at its last message and at the start of its last cycle, and how far they
  // moved between the starts of its last two cycles.
  struct Sequence {
    nmea::Talker Talker;
    uint8_t Signal;
    uint8_t Total;  // messages in the cycle being collected
    uint8_t Next;   // message number expected next; 0 when none is awaited
    uint32_t HeardEpoch, HeardBytes;
    uint32_t CycleEpoch, CycleBytes;
    uint32_t EpochPeriod, BytePeriod;
  };
  static constexpr int kSequences = 32;
  // Without a fix time, 3 s of received data: what a 9600-baud line carries
  // in 3 s (10 bits a byte), the rate most multi-constellation modules start
  // at. A slower line takes longer to send it, a faster one may take less.
  static constexpr uint32_t kStaleBytes = 2880;

  int SequenceSlot(nmea::Talker talker, uint8_t signal);
  int NewSequence(nmea::Talker talker, uint8_t signal);
  int Entry(GnssSystem system, uint16_t id);
  int NewEntry(GnssSystem system, uint16_t id);
  void EndCycle(int slot);
  void RefreshSnr(int entry);
  void CountBytes(uint32_t bytes);
  void DropStaleSequences();

  uint16_t count_;
  uint16_t used_;  // entries with Used
  GnssSat sats_[kSize];
  uint8_t sequenceCount_;
  Sequence sequences_[kSequences];
  // Where each talker's sequence for each signal ID stands, plus 1 (0: none).
  uint8_t sequenceSlots_[nmea::kTalkerCount + 1][16];
  // Per entry, one bit per sequence: the sequences that reported it in their
  // last complete cycle or the one being collected.
  uint32_t reported_[kSize];
  // Per entry and sequence, the SNR that sequence reported; -1 for none.
  int8_t signalSnr_[kSize][kSequences];
  // Per sequence, one bit per entry: the entries it reported in its last
  // complete cycle or the one being collected, and those it reported in the
  // cycle being collected. A complete cycle then finds the satellites it
  // left out without a walk through the list.
  static_assert(kSize <= 64, "an entry is a bit of a 64-bit set");
  uint64_t sequenceListed_[kSequences];
  uint64_t sequenceCycle_[kSequences];
  // The epoch's used satellites, a bit per satellite key (see KeyInSystem),
  // and the entry of each listed satellite plus 1 (0: not listed), by key.
  uint64_t usedKeys_[kGnssSystemCount];
  uint8_t entryByKey_[kGnssSystemCount][64];
  uint8_t epochSystems_;  // the systems whose GSA the epoch has seen
  uint8_t epochFixType_;
  bool epochChanged_;  // a new fix time since the last GSA
  double epochTime_;   // -1 while the receiver sends no time
  // The fix epochs begun so far, and the bytes of the sentences received
  // while there was no fix time: the clocks by which a sequence goes stale.
  uint32_t epochs_;
  uint32_t bytes_;
};
