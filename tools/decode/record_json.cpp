#include "record_json.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "real_text.h"
#include "satellite_view.h"

// Bytes outside printable ASCII are escaped as the code point of the same
// value, so the output is plain ASCII whatever a receiver sent.
void AppendJsonString(std::string& out, std::string_view s) {
  out += '"';
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u > 0x7E) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  out += '"';
}

namespace {

class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_ += "{\n"; }
  void Close() { out_ += "\n}\n"; }

  void Key(std::string_view key) {
    if (!first_) out_ += ",\n";
    first_ = false;
    out_ += "  \"";
    out_ += key;
    out_ += "\": ";
  }
  void Integer(std::string_view key, long long v) {
    Key(key);
    out_ += std::to_string(v);
  }
  void Real(std::string_view key, double v) {
    Key(key);
    AppendReal(v);
  }
  void Char(std::string_view key, char c) {
    Key(key);
    AppendString(std::string_view(&c, 1));
  }
  void Text(std::string_view key, const char* text, size_t size) {
    Key(key);
    AppendString(std::string_view(text, strnlen(text, size)));
  }

  void AppendReal(double v) { nmea::AppendReal(out_, v); }
  void AppendString(std::string_view s) { AppendJsonString(out_, s); }

  std::string& Out() { return out_; }

 private:
  std::string& out_;
  bool first_ = true;
};

}  // namespace

std::string RecordJson(const CNMEAParser& p) {
  std::string out;
  out.reserve(8192);
  JsonObject o(out);
  o.Integer("SentenceTotal", p.SentenceTotal);

  o.Integer("GgaUtcHour", p.GgaUtcHour);
  o.Integer("GgaUtcMinute", p.GgaUtcMinute);
  o.Integer("GgaUtcSecond", p.GgaUtcSecond);
  o.Real("GgaLat", p.GgaLat);
  o.Real("GgaLon", p.GgaLon);
  o.Integer("GgaQuality", p.GgaQuality);
  o.Integer("GgaSatsUsed", p.GgaSatsUsed);
  o.Real("GgaHdop", p.GgaHdop);
  o.Real("GgaAltitude", p.GgaAltitude);
  o.Integer("GgaSentences", p.GgaSentences);
  o.Integer("GgaPrevTimeSec", p.GgaPrevTimeSec);
  o.Real("GgaPrevAltitude", p.GgaPrevAltitude);
  o.Real("GgaClimbRate", p.GgaClimbRate);

  o.Char("GsaSelection", p.GsaSelection);
  o.Integer("GsaFixType", p.GsaFixType);
  o.Key("GsaActivePrn");
  out += '[';
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    if (i > 0) out += ", ";
    out += std::to_string(p.GsaActivePrn[i]);
  }
  out += ']';
  o.Real("GsaPdop", p.GsaPdop);
  o.Real("GsaHdop", p.GsaHdop);
  o.Real("GsaVdop", p.GsaVdop);
  o.Integer("GsaSentences", p.GsaSentences);

  o.Integer("GsvInView", p.GsvInView);
  o.Key("GsvSat");
  out += "[\n";
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    const SatEntry& e = p.GsvSat[i];
    out += "    {\"Prn\": " + std::to_string(e.Prn) + ", \"Snr\": " + std::to_string(e.Snr) +
           ", \"InSolution\": " + std::to_string(e.InSolution) +
           ", \"Azimuth\": " + std::to_string(e.Azimuth) +
           ", \"Elevation\": " + std::to_string(e.Elevation) + "}";
    out += i + 1 < CNMEAParser::kSatTableSize ? ",\n" : "\n  ]";
  }
  o.Integer("GsvSentences", p.GsvSentences);

  o.Char("RmbStatus", p.RmbStatus);
  o.Real("RmbXte", p.RmbXte);
  o.Char("RmbSteer", p.RmbSteer);
  o.Text("RmbFromId", p.RmbFromId, sizeof p.RmbFromId);
  o.Text("RmbToId", p.RmbToId, sizeof p.RmbToId);
  o.Real("RmbToLat", p.RmbToLat);
  o.Real("RmbToLon", p.RmbToLon);
  o.Real("RmbRange", p.RmbRange);
  o.Real("RmbBearing", p.RmbBearing);
  o.Real("RmbClosing", p.RmbClosing);
  o.Char("RmbArrival", p.RmbArrival);
  o.Integer("RmbSentences", p.RmbSentences);

  o.Integer("RmcUtcHour", p.RmcUtcHour);
  o.Integer("RmcUtcMinute", p.RmcUtcMinute);
  o.Integer("RmcUtcSecond", p.RmcUtcSecond);
  o.Char("RmcStatus", p.RmcStatus);
  o.Real("RmcLat", p.RmcLat);
  o.Real("RmcLon", p.RmcLon);
  o.Real("RmcSpeedKnots", p.RmcSpeedKnots);
  o.Real("RmcTrack", p.RmcTrack);
  o.Integer("RmcDay", p.RmcDay);
  o.Integer("RmcMonth", p.RmcMonth);
  o.Integer("RmcYear", p.RmcYear);
  o.Real("RmcVariation", p.RmcVariation);
  o.Integer("RmcSentences", p.RmcSentences);

  o.Integer("ZdaUtcHour", p.ZdaUtcHour);
  o.Integer("ZdaUtcMinute", p.ZdaUtcMinute);
  o.Integer("ZdaUtcSecond", p.ZdaUtcSecond);
  o.Integer("ZdaDay", p.ZdaDay);
  o.Integer("ZdaMonth", p.ZdaMonth);
  o.Integer("ZdaYear", p.ZdaYear);
  o.Integer("ZdaZoneHours", p.ZdaZoneHours);
  o.Integer("ZdaZoneMinutes", p.ZdaZoneMinutes);
  o.Integer("ZdaSentences", p.ZdaSentences);

  // The GNSS mode's satellite list; the default mode's output has none of it.
  if (p.GnssMode()) {
    const SatelliteView sats(p);
    o.Integer("GnssInView", sats.Count());
    o.Integer("GnssUsed", sats.UsedCount());
    o.Key("GnssSat");
    out += sats.Count() == 0 ? "[" : "[\n";
    const auto orNull = [](int32_t v) { return v < 0 ? std::string("null") : std::to_string(v); };
    for (int i = 0; i < sats.Count(); ++i) {
      const GnssSat& e = sats[i];
      out += "    {\"System\": ";
      o.AppendString(GnssSystemName(e.System));
      out += ", \"Id\": " + std::to_string(e.Id) + ", \"Nmea\": " + std::to_string(e.Nmea) +
             ", \"Snr\": " + orNull(e.Snr) + ", \"Azimuth\": " + orNull(e.Azimuth) +
             ", \"Elevation\": " + orNull(e.Elevation) +
             ", \"Used\": " + (e.Used ? "true" : "false") + "}";
      out += i + 1 < sats.Count() ? ",\n" : "\n  ";
    }
    out += ']';
  }
  o.Close();
  return out;
}
