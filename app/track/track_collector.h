#pragma once

#include <cstdint>
#include <functional>

#include "app/track/track_clock.h"
#include "app/track/track_point.h"
#include "nmea_parser.h"

// Makes a track point of every position sample the parser decodes (a sample as
// the statistics take it), dated by the RMC and ZDA sentences before it. It
// takes the parser's GGA listener and reader watch while it is attached, so
// the parser must be one of its own, not the display's.
//
// Dates: an RMC's date counts only when its status is A (valid), since a
// receiver without a fix may send its clock's guess; a ZDA's counts whenever
// it is a possible date from 1980 on.
//
// Fix: GGA quality 2 is "dgps", 3 "pps"; any other quality takes the last
// GSA's fix type, 2 "2d" or 3 "3d"; otherwise no fix type is given.
class TrackCollector : private CNMEAParser::ReaderWatch {
 public:
  using Sink = std::function<void(const TrackPoint&)>;

  TrackCollector(CNMEAParser& parser, Sink sink);
  ~TrackCollector();
  TrackCollector(const TrackCollector&) = delete;
  TrackCollector& operator=(const TrackCollector&) = delete;

  uint64_t Points() const { return points_; }

 private:
  static void OnGga(void* self, const CNMEAParser& parser, const GgaSent& sent);
  void SentenceEnded(SentenceEnd end, bool decoded) override;
  void BytesSkipped(uint32_t) override {}

  CNMEAParser& parser_;
  Sink sink_;
  TrackClock clock_;
  uint32_t rmcSeen_;
  uint32_t zdaSeen_;
  uint64_t points_ = 0;
};
