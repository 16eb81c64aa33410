#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "gnss_satellites.h"
#include "gnss_sky.h"

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

// How the reader ended a sentence, for a consumer that watches the link.
enum class SentenceEnd : uint8_t {
  Checksummed,  // its checksum matched: passed to the decoders
  Unchecked,    // a CR ended it before any "*": passed to the decoders
  BadChecksum,  // its checksum did not match: dropped
  NoChecksum,   // a "$" came before its "*": dropped
  CutShort,     // a "$" came before its second checksum digit: dropped
  Overlong,     // a name or data part longer than the reader keeps: dropped
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

  // Told how the reader ends each sentence and which bytes it passes over
  // while it waits for a "$". None by default; the record is the same either way.
  class ReaderWatch {
   public:
    // `decoded`: a decoder of the active mode read the sentence (only
    // Checksummed and Unchecked ones reach the decoders).
    virtual void SentenceEnded(SentenceEnd end, bool decoded) = 0;
    virtual void BytesSkipped(uint32_t count) = 0;

   protected:
    ~ReaderWatch() = default;
  };
  void SetReaderWatch(ReaderWatch* watch) { Watch = watch; }

  // Takes `other`'s reader state, record and mode, as if this parser had read
  // the same bytes; keeps its own GGA listener and reader watch, which are not
  // told of the bytes `other` read.
  void CopyStateFrom(const CNMEAParser& other);

 private:
  enum : uint8_t { WaitStart, InName, InData, ChecksumHigh, ChecksumLow };
  // Commas remembered per sentence: enough for the last field any decoder reads.
  static constexpr int kIndexedCommas = 20;

  void StartSentence();
  void Dispatch(bool checksummed);
  void EndUndecoded(SentenceEnd end) {
    if (Watch != nullptr) Watch->SentenceEnded(end, false);
  }
  // Returns whether a decoder read the sentence.
  bool DispatchSentence(const char* name, const nmea::FieldIndex& fields, bool checksummed);
  void DecodeGGA(const nmea::FieldIndex& f);
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
  ReaderWatch* Watch = nullptr;

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
  char GgaAltitudeUnit;   // as sent, the first character; NUL before any
  uint8_t GgaFieldsSent;  // the GgaSent::Field bits of the last GGA
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
  uint16_t GsvInView;  // as the receiver announced it, may exceed the table's 36
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
  bool RmcTrackSent;  // the last RMC's track field was not empty
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
  void SetGnssMode(bool on);  // also resets the GNSS state
  bool GnssMode() const { return GnssOn; }

  // GNSS mode only (empty in the default mode): the list of satellites in
  // view, how many it holds and how many of them are used. GnssInView counts
  // the list's entries (at most GnssSky::kSize), where GsvInView holds the
  // count a GPS receiver announced, whatever its table holds.
  std::span<const GnssSat> GnssSats() const { return Sky.Satellites(); }
  uint16_t GnssInView() const { return Sky.InView(); }
  uint16_t GnssUsed() const { return Sky.Used(); }
  // The signals of GnssSats()[i], as GnssSky::Signals gives them.
  int GnssSignals(int i, GnssSky::SignalSnr* out) const { return Sky.Signals(i, out); }

  // Counted in both modes, so that a receiver speaking other talkers can be
  // recognised: checksummed RMC, GGA and GSA sentences from the GP talker, and
  // from any other talker (GN, GL, GA, GB, BD, GQ, GI).
  uint32_t GpFixSentences;
  uint32_t OtherTalkerFixSentences;

 private:
  void ResetGnss();
  void DecodeGnssGSV(nmea::Talker talker, const nmea::FieldIndex& f, const int64_t* values,
                     uint32_t absent);
  void DecodeGnssGSA(nmea::Talker talker, const nmea::FieldIndex& f, bool fixTypeFound);
  void DecodeGNS(const nmea::FieldIndex& f);
  void NoteEpochTime(const nmea::FieldIndex& f);

  bool GnssOn = false;
  bool GnssSawGga;  // GNS stands in for GGA only while no GGA came
  GnssSky Sky;
};
