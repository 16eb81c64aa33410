// Feeds arbitrary bytes to the decoder in arbitrary chunkings and checks what
// must hold whatever arrives on the line.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "field_index.h"
#include "nmea_parser.h"

namespace {

// The checks are not under test: left uninstrumented they cost less and feed
// the fuzzer no comparisons of their own to chase.
#define QV_CHECKER __attribute__((no_sanitize("coverage")))

QV_CHECKER void Check(bool ok) {
  if (!ok) std::abort();
}

struct Counters {
  uint32_t total, gga, gsa, gsv, rmb, rmc, zda;
};

QV_CHECKER Counters Read(const CNMEAParser& p) {
  return {p.SentenceTotal, p.GgaSentences, p.GsaSentences, p.GsvSentences,
          p.RmbSentences,  p.RmcSentences, p.ZdaSentences};
}

QV_CHECKER void CheckRecord(const CNMEAParser& p) {
  Check(std::memchr(p.RmbFromId, '\0', sizeof p.RmbFromId) != nullptr);
  Check(std::memchr(p.RmbToId, '\0', sizeof p.RmbToId) != nullptr);
  for (const SatEntry& e : p.GsvSat) Check(e.InSolution == 0 || e.InSolution == 1);
  for (int slot = 12; slot < CNMEAParser::kSatTableSize; ++slot) Check(p.GsaActivePrn[slot] == 0);
}

// Counters only grow, each decoded sentence is also in SentenceTotal, and
// nothing moves without a sentence passing.
QV_CHECKER void CheckGrowth(const Counters& before, const Counters& after) {
  const uint32_t decoded = (after.gga - before.gga) + (after.gsa - before.gsa) +
                           (after.gsv - before.gsv) + (after.rmb - before.rmb) +
                           (after.rmc - before.rmc) + (after.zda - before.zda);
  Check(after.total >= before.total && after.gga >= before.gga && after.gsa >= before.gsa &&
        after.gsv >= before.gsv && after.rmb >= before.rmb && after.rmc >= before.rmc &&
        after.zda >= before.zda);
  Check(decoded <= after.total - before.total);
}

QV_CHECKER bool SameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// Up to the terminating zero; what follows it is not part of the text.
QV_CHECKER bool SameText(const char* a, const char* b, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (a[i] != b[i]) return false;
    if (a[i] == '\0') return true;
  }
  return true;
}

// Every member of the navigation record, compared directly: turning both
// records into text for each input took most of the run's time.
QV_CHECKER bool SameRecord(const CNMEAParser& a, const CNMEAParser& b) {
#define QV_SAME(m) (a.m == b.m)
#define QV_SAME_REAL(m) SameBits(a.m, b.m)
  bool same = QV_SAME(SentenceTotal) && QV_SAME(GgaUtcHour) && QV_SAME(GgaUtcMinute) && QV_SAME(GgaUtcSecond) &&
              QV_SAME_REAL(GgaLat) && QV_SAME_REAL(GgaLon) && QV_SAME(GgaQuality) && QV_SAME(GgaSatsUsed) &&
              QV_SAME_REAL(GgaHdop) && QV_SAME_REAL(GgaAltitude) && QV_SAME(GgaSentences) &&
              QV_SAME(GgaPrevTimeSec) && QV_SAME_REAL(GgaPrevAltitude) && QV_SAME_REAL(GgaClimbRate);
  same = same && QV_SAME(GsaSelection) && QV_SAME(GsaFixType) && QV_SAME_REAL(GsaPdop) && QV_SAME_REAL(GsaHdop) &&
         QV_SAME_REAL(GsaVdop) && QV_SAME(GsaSentences) && QV_SAME(GsvInView) && QV_SAME(GsvSentences);
  for (int i = 0; i < CNMEAParser::kSatTableSize && same; ++i) {
    const SatEntry& x = a.GsvSat[i];
    const SatEntry& y = b.GsvSat[i];
    same = a.GsaActivePrn[i] == b.GsaActivePrn[i] && x.Prn == y.Prn && x.Snr == y.Snr &&
           x.InSolution == y.InSolution && x.Azimuth == y.Azimuth && x.Elevation == y.Elevation;
  }
  same = same && QV_SAME(RmbStatus) && QV_SAME_REAL(RmbXte) && QV_SAME(RmbSteer) &&
         SameText(a.RmbFromId, b.RmbFromId, sizeof a.RmbFromId) &&
         SameText(a.RmbToId, b.RmbToId, sizeof a.RmbToId) && QV_SAME_REAL(RmbToLat) && QV_SAME_REAL(RmbToLon) &&
         QV_SAME_REAL(RmbRange) && QV_SAME_REAL(RmbBearing) && QV_SAME_REAL(RmbClosing) && QV_SAME(RmbArrival) &&
         QV_SAME(RmbSentences);
  same = same && QV_SAME(RmcUtcHour) && QV_SAME(RmcUtcMinute) && QV_SAME(RmcUtcSecond) && QV_SAME(RmcStatus) &&
         QV_SAME_REAL(RmcLat) && QV_SAME_REAL(RmcLon) && QV_SAME_REAL(RmcSpeedKnots) && QV_SAME_REAL(RmcTrack) &&
         QV_SAME(RmcDay) && QV_SAME(RmcMonth) && QV_SAME(RmcYear) && QV_SAME_REAL(RmcVariation) &&
         QV_SAME(RmcSentences);
  same = same && QV_SAME(ZdaUtcHour) && QV_SAME(ZdaUtcMinute) && QV_SAME(ZdaUtcSecond) && QV_SAME(ZdaDay) &&
         QV_SAME(ZdaMonth) && QV_SAME(ZdaYear) && QV_SAME(ZdaZoneHours) && QV_SAME(ZdaZoneMinutes) &&
         QV_SAME(ZdaSentences);
  same = same && a.GnssInView() == b.GnssInView() && a.GnssUsed() == b.GnssUsed();
  for (int i = 0; i < a.GnssInView() && same; ++i) {
    const GnssSat& x = a.GnssSats()[i];
    const GnssSat& y = b.GnssSats()[i];
    same = x.System == y.System && x.Id == y.Id && x.Nmea == y.Nmea && x.Snr == y.Snr && x.Azimuth == y.Azimuth &&
           x.Elevation == y.Elevation && x.Used == y.Used;
  }
#undef QV_SAME
#undef QV_SAME_REAL
  return same;
}

// The satellite list of GNSS mode stays within its table, and its count of
// used entries is what the entries say.
QV_CHECKER void CheckGnssList(const CNMEAParser& p) {
  Check(p.GnssInView() <= GnssSky::kSize);
  int used = 0;
  for (const GnssSat& sat : p.GnssSats()) used += sat.Used ? 1 : 0;
  Check(p.GnssUsed() == used);
  if (!p.GnssMode()) Check(p.GnssInView() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first two bytes steer the chunking, where ResetRecord strikes and
  // (the top bit) whether all GNSS talkers are decoded; the rest is the stream.
  if (size < 2) return 0;
  const bool gnss = (data[0] & 0x80) != 0;
  const unsigned chunkSeed = data[0] & 0x7F;
  const unsigned resetEvery = data[1];
  const char* bytes = reinterpret_cast<const char*>(data + 2);
  const size_t length = size - 2;

  // `chunked` takes the stream in small chunks, `whole` in one piece from one
  // reset to the next; both reset at the same places, so their records must
  // agree at every reset and at the end.
  CNMEAParser whole;
  CNMEAParser chunked;
  whole.SetGnssMode(gnss);
  chunked.SetGnssMode(gnss);
  size_t wholeFed = 0;
  const auto resetBoth = [&](size_t upTo) {
    whole.FeedBytes(bytes + wholeFed, static_cast<uint32_t>(upTo - wholeFed));
    wholeFed = upTo;
    CheckRecord(whole);
    CheckRecord(chunked);
    CheckGnssList(chunked);
    Check(SameRecord(whole, chunked));
    const uint32_t total = chunked.SentenceTotal;
    whole.ResetRecord();
    chunked.ResetRecord();
    const Counters c = Read(chunked);
    Check(c.gga == 0 && c.gsa == 0 && c.gsv == 0 && c.rmb == 0 && c.rmc == 0 && c.zda == 0);
    Check(c.total == total);
  };

  size_t at = 0;
  unsigned step = 0;
  while (at < length) {
    const size_t n = std::min<size_t>(length - at, 1 + (chunkSeed * (step + 7) + step) % 97);
    const Counters before = Read(chunked);
    chunked.FeedBytes(bytes + at, static_cast<uint32_t>(n));
    CheckGrowth(before, Read(chunked));
    at += n;
    if (resetEvery != 0 && step % resetEvery == 0) resetBoth(at);
    ++step;
  }
  whole.FeedBytes(bytes + wholeFed, static_cast<uint32_t>(length - wholeFed));
  CheckRecord(whole);
  CheckRecord(chunked);
  CheckGnssList(chunked);
  // How the stream is cut never changes what is decoded.
  Check(SameRecord(whole, chunked));

  // The decoders' field index agrees with ExtractField on the raw text too.
  const std::string text(bytes, strnlen(bytes, std::min<size_t>(length, 255)));
  const nmea::FieldIndex index(text.c_str());
  for (int k = 0; k < nmea::FieldIndex::kMaxFields; ++k) {
    char buf[nmea::FieldIndex::kFieldLimit];
    const bool found = CNMEAParser::ExtractField(text.c_str(), k, buf, sizeof buf);
    Check(found == index.Found(k));
    Check(index[k] == std::string_view(buf));
  }
  return 0;
}
