#include "app/track/track_collector.h"

#include "sample_collector.h"

TrackCollector::TrackCollector(CNMEAParser& parser, Sink sink)
    : parser_(parser), sink_(std::move(sink)), rmcSeen_(parser.RmcSentences), zdaSeen_(parser.ZdaSentences) {
  parser_.SetGgaListener(&TrackCollector::OnGga, this);
  parser_.SetReaderWatch(this);
}

TrackCollector::~TrackCollector() {
  parser_.SetGgaListener(nullptr, nullptr);
  parser_.SetReaderWatch(nullptr);
}

// Told after every sentence, so a date counts from the sentence that brought
// it however the bytes were chunked.
void TrackCollector::SentenceEnded(SentenceEnd, bool decoded) {
  if (!decoded) return;
  const CNMEAParser& p = parser_;
  if (p.RmcSentences != rmcSeen_) {
    rmcSeen_ = p.RmcSentences;
    if (p.RmcStatus == 'A') {
      clock_.NoteDate(p.RmcYear, p.RmcMonth, p.RmcDay, p.RmcUtcHour, p.RmcUtcMinute, p.RmcUtcSecond);
    }
  }
  if (p.ZdaSentences != zdaSeen_) {
    zdaSeen_ = p.ZdaSentences;
    clock_.NoteDate(p.ZdaYear, p.ZdaMonth, p.ZdaDay, p.ZdaUtcHour, p.ZdaUtcMinute, p.ZdaUtcSecond);
  }
}

void TrackCollector::OnGga(void* self, const CNMEAParser& p, const GgaSent& sent) {
  auto& c = *static_cast<TrackCollector*>(self);
  stats::StatsSample s;
  if (stats::TakeSample(p, sent, s) != stats::SampleKind::Taken) return;

  TrackPoint t{};
  t.Lat = s.Lat;
  t.Lon = s.Lon;
  // GPX and KML heights are metres: an altitude in other units is left out.
  t.HasEle = s.HasAltitude() && (p.GgaAltitudeUnit == 'M' || p.GgaAltitudeUnit == '\0');
  t.Ele = t.HasEle ? s.Alt : 0.0;
  t.HasHdop = s.HasHdop();
  t.Hdop = t.HasHdop ? s.Hdop : 0.0;
  t.Sat = s.HasSatsUsed() && s.SatsUsed >= 0 ? s.SatsUsed : -1;
  if (s.Quality == 2) {
    t.FixType = TrackPoint::Fix::Dgps;
  } else if (s.Quality == 3) {
    t.FixType = TrackPoint::Fix::Pps;
  } else if (p.GsaSentences > 0 && (p.GsaFixType == 2 || p.GsaFixType == 3)) {
    t.FixType = p.GsaFixType == 2 ? TrackPoint::Fix::TwoD : TrackPoint::Fix::ThreeD;
  }
  c.clock_.Stamp(sent.Time, t.Time);
  ++c.points_;
  c.sink_(t);
}
