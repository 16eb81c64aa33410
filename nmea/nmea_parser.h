#pragma once

#include <cstdint>
#include <string_view>

#include "gnss_satellites.h"

namespace nmea {
class FieldIndex;
}

// What one GGA sentence sent, beside the values the record keeps: the record
// holds the previous sentence's value where a field was empty.
struct GgaSent {
  enum Field : uint8_t {
    kTime = 1,
    kLat = 2,
    kLon = 4,
    kQuality = 8,
    kSatsUsed = 16,
    kHdop = 32,
    kAltitude = 64,
  };
  uint8_t Fields;         // a bit per field that was not empty
  std::string_view Time;  // the time field as sent; valid during the call only
};

// One satellite of the GSV table.
struct SatEntry {
  uint16_t Prn;
  uint16_t Snr;
  int32_t InSolution;
  uint16_t Azimuth;
  uint16_t Elevation;
};

// Frames NMEA 0183 sentences out of a byte stream, tests their checksum and
// decodes GGA, GSA, GSV, RMB, RMC and ZDA into the public navigation record.
// Bytes may arrive in any chunking; nothing is allocated.
class CNMEAParser {
 public:
  static constexpr int kSatTableSize = 36;

  CNMEAParser();
  virtual ~CNMEAParser();

  // Feeds the bytes in order; always returns true.
  bool FeedBytes(const char* bytes, uint32_t length);

  void ResetRecord();
  bool IsPrnInSolution(uint16_t prn) const;

  // Copies comma-separated field `index` of a sentence's data part into `dest`
  // (at most limit - 1 characters, NUL-terminated). Empty and missing fields
  // are not found.
  static bool ExtractField(const char* data, int32_t index, char* dest, int32_t limit);

  // Called after each GGA the active mode decodes, once the record holds it,
  // so that a consumer sees every fix however the bytes were chunked. None by
  // default; the record and what it decodes are the same either way.
  using GgaListener = void (*)(void* context, const CNMEAParser& parser, const GgaSent& sent);
  void SetGgaListener(GgaListener listener, void* context) {
    GgaListen = listener;
    GgaListenContext = context;
  }

 private:
  enum : uint8_t { WaitStart, InName, InData, ChecksumHigh, ChecksumLow };
  // Commas remembered per sentence: enough for the last field any decoder reads.
  static constexpr int kIndexedCommas = 20;

  void StartSentence();
  void Dispatch(bool checksummed);
  void DispatchSentence(const char* name, const nmea::FieldIndex& fields, bool checksummed);
  // Returns what the sentence sent, for the GGA listener.
  GgaSent DecodeGGA(const nmea::FieldIndex& f);
  void DecodeGSA(const nmea::FieldIndex& f);
  // GSV fields 0 to 18 as integers, 0 where empty or absent, and a bit per
  // field that was.
  static constexpr int kGsvValues = 19;
  void DecodeGSV(const int64_t* values, uint32_t absent);
  void DecodeRMB(const nmea::FieldIndex& f);
  void DecodeRMC(const nmea::FieldIndex& f);
  void DecodeZDA(const nmea::FieldIndex& f);

  uint8_t ReaderState;
  uint8_t RunningXor;
  uint8_t ReceivedXor;
  uint16_t BufLen;
  char NameBuf[8];
  char DataBuf[256];
  // Where the data part's commas and first NUL are, noted while it arrives so
  // the decoders need not scan it again.
  uint8_t CommaCount;
  uint8_t CommaPos[kIndexedCommas];
  uint16_t TextLen;
  GgaListener GgaListen = nullptr;
  void* GgaListenContext = nullptr;

 public:
  uint32_t SentenceTotal;

  // GGA
  uint8_t GgaUtcHour;
  uint8_t GgaUtcMinute;
  uint8_t GgaUtcSecond;
  double GgaLat;
  double GgaLon;
  int8_t GgaQuality;
  int8_t GgaSatsUsed;
  double GgaHdop;
  double GgaAltitude;
  uint32_t GgaSentences;
  int32_t GgaPrevTimeSec;
  double GgaPrevAltitude;
  double GgaClimbRate;

  // GSA
  char GsaSelection;
  uint8_t GsaFixType;
  uint16_t GsaActivePrn[kSatTableSize];
  double GsaPdop;
  double GsaHdop;
  double GsaVdop;
  uint32_t GsaSentences;

  // GSV
  uint16_t GsvInView;
  SatEntry GsvSat[kSatTableSize];
  uint32_t GsvSentences;

  // RMB
  char RmbStatus;
  double RmbXte;
  char RmbSteer;
  char RmbFromId[32];
  char RmbToId[32];
  double RmbToLat;
  double RmbToLon;
  double RmbRange;
  double RmbBearing;
  double RmbClosing;
  char RmbArrival;
  uint32_t RmbSentences;

  // RMC
  uint8_t RmcUtcHour;
  uint8_t RmcUtcMinute;
  uint8_t RmcUtcSecond;
  char RmcStatus;
  double RmcLat;
  double RmcLon;
  double RmcSpeedKnots;
  double RmcTrack;
  uint8_t RmcDay;
  uint8_t RmcMonth;
  uint16_t RmcYear;
  double RmcVariation;
  uint32_t RmcSentences;

  // ZDA
  uint8_t ZdaUtcHour;
  uint8_t ZdaUtcMinute;
  uint8_t ZdaUtcSecond;
  uint8_t ZdaDay;
  uint8_t ZdaMonth;
  uint16_t ZdaYear;
  int8_t ZdaZoneHours;
  int8_t ZdaZoneMinutes;
  uint32_t ZdaSentences;

  // GNSS mode: every talker of a multi-constellation receiver is decoded. Off
  // by default, where only the GPS talker is.
  static constexpr int kGnssTableSize = 64;
  void SetGnssMode(bool on);  // also resets the GNSS state
  bool GnssMode() const { return GnssOn; }

  // GNSS mode only (left empty in the default mode):
  uint16_t GnssInView;               // entries in GnssSats, at most kGnssTableSize
  uint16_t GnssUsed;                 // entries with Used
  GnssSat GnssSats[kGnssTableSize];  // in the order the decoder keeps them

  // Counted in both modes, so that a receiver speaking other talkers can be
  // recognised: checksummed RMC, GGA and GSA sentences from the GP talker, and
  // from any other talker (GN, GL, GA, GB, BD, GQ, GI).
  uint32_t GpFixSentences;
  uint32_t OtherTalkerFixSentences;

 private:
  // A GSV sequence is one talker's cycle of messages for one signal (the
  // signal ID of NMEA 4.10 and later, 0 before); each replaces only what its
  // own previous cycle reported.
  struct GsvSequence {
    nmea::Talker Talker;
    uint8_t Signal;
    uint8_t Total;  // messages in the cycle being collected
    uint8_t Next;   // message number expected next; 0 when none is awaited
    // Where GnssEpochs and GnssBytes stood at its last message and at the
    // start of its last cycle, and how far they moved between the starts of
    // its last two cycles.
    uint32_t HeardEpoch, HeardBytes;
    uint32_t CycleEpoch, CycleBytes;
    uint32_t EpochPeriod, BytePeriod;
  };
  static constexpr int kGsvSequences = 32;
  // Without a fix time, 3 s of received data: what a 9600-baud line carries
  // in 3 s (10 bits a byte), the rate most multi-constellation modules start
  // at. A slower line takes longer to send it, a faster one may take less.
  static constexpr uint32_t kStaleBytes = 2880;

  void ResetGnss();
  void DecodeGnssGSV(nmea::Talker talker, const nmea::FieldIndex& f, const int64_t* values,
                     uint32_t absent);
  void DecodeGnssGSA(nmea::Talker talker, const nmea::FieldIndex& f, bool fixTypeFound);
  void DecodeGNS(const nmea::FieldIndex& f);
  void NoteEpochTime(const nmea::FieldIndex& f);
  void DropStaleSequences();
  int GsvSequenceSlot(nmea::Talker talker, uint8_t signal);
  int GnssEntry(GnssSystem system, uint16_t id);
  int NewGnssEntry(GnssSystem system, uint16_t id);
  void EndGsvCycle(int slot);
  void RefreshSnr(int entry);

  bool GnssOn = false;
  uint8_t GnssSequenceCount;
  GsvSequence GnssSequences[kGsvSequences];
  // Per entry of GnssSats, one bit per GSV sequence: the sequences that
  // reported it in their last complete cycle or the one being collected.
  uint32_t GnssReported[kGnssTableSize];
  // Per GSV sequence, one bit per entry of GnssSats: the entries it reported
  // in its last complete cycle or the one being collected, and those it
  // reported in the cycle being collected. A complete cycle then finds the
  // satellites it left out without a walk through the list.
  static_assert(kGnssTableSize <= 64, "an entry is a bit of a 64-bit set");
  uint64_t SequenceListed[kGsvSequences];
  uint64_t SequenceCycle[kGsvSequences];
  // Where each talker's sequence for each signal ID stands, plus 1 (0: none).
  uint8_t SequenceSlot[nmea::kTalkerCount + 1][16];
  int8_t GnssSignalSnr[kGnssTableSize][kGsvSequences];
  // The current epoch's used satellites, a bit per number within each system
  // (SBAS PRN 120 is bit 1), and the systems whose GSA it has seen.
  uint64_t GnssUsedIds[kGnssSystemCount];
  // Where each satellite stands in GnssSats, plus 1 (0: not listed), by the
  // same bit numbers.
  uint8_t GnssIndex[kGnssSystemCount][64];
  uint8_t GnssEpochSystems;
  uint8_t GnssEpochFixType;
  bool GnssEpochChanged;  // a new GGA/RMC/GNS time since the last GSA
  bool GnssSawGga;        // GNS stands in for GGA only while no GGA came
  double GnssEpochTime;   // -1 while the receiver sends no time
  // The fix epochs begun so far, and the bytes of the sentences received
  // while there was no fix time: the clocks by which a GSV sequence goes stale.
  uint32_t GnssEpochs;
  uint32_t GnssBytes;
};
