#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "nmea_parser.h"
#include "record_json.h"

namespace {

void FeedSentence(CNMEAParser& p, const std::string& body) {
  unsigned x = 0;
  for (const char c : body) x ^= static_cast<unsigned char>(c);
  char sum[4];
  std::snprintf(sum, sizeof sum, "%02X", x);
  const std::string s = "$" + body + "*" + sum;
  p.FeedBytes(s.data(), static_cast<uint32_t>(s.size()));
}

std::vector<std::string> TopLevelKeys(const std::string& json) {
  std::vector<std::string> keys;
  size_t at = 0;
  while ((at = json.find("\n  \"", at)) != std::string::npos) {
    const size_t begin = at + 4;
    const size_t end = json.find('"', begin);
    keys.push_back(json.substr(begin, end - begin));
    at = end;
  }
  return keys;
}

TEST(RecordJson, KeysFollowTheRecordsDeclaredOrder) {
  const std::vector<std::string> expected = {
      "SentenceTotal", "GgaUtcHour", "GgaUtcMinute", "GgaUtcSecond", "GgaLat", "GgaLon",
      "GgaQuality", "GgaSatsUsed", "GgaHdop", "GgaAltitude", "GgaSentences", "GgaPrevTimeSec",
      "GgaPrevAltitude", "GgaClimbRate", "GsaSelection", "GsaFixType", "GsaActivePrn", "GsaPdop",
      "GsaHdop", "GsaVdop", "GsaSentences", "GsvInView", "GsvSat", "GsvSentences", "RmbStatus",
      "RmbXte", "RmbSteer", "RmbFromId", "RmbToId", "RmbToLat", "RmbToLon", "RmbRange",
      "RmbBearing", "RmbClosing", "RmbArrival", "RmbSentences", "RmcUtcHour", "RmcUtcMinute",
      "RmcUtcSecond", "RmcStatus", "RmcLat", "RmcLon", "RmcSpeedKnots", "RmcTrack", "RmcDay",
      "RmcMonth", "RmcYear", "RmcVariation", "RmcSentences", "ZdaUtcHour", "ZdaUtcMinute",
      "ZdaUtcSecond", "ZdaDay", "ZdaMonth", "ZdaYear", "ZdaZoneHours", "ZdaZoneMinutes",
      "ZdaSentences"};
  EXPECT_EQ(TopLevelKeys(RecordJson(CNMEAParser())), expected);
}

double NumberAfter(const std::string& json, const std::string& key) {
  const size_t at = json.find("\"" + key + "\": ");
  if (at == std::string::npos) return -1.0;
  return std::strtod(json.c_str() + at + key.size() + 4, nullptr);
}

TEST(RecordJson, RealsReadBackExactly) {
  CNMEAParser p;
  FeedSentence(p, "GPGGA,120100,3412.300,S,15030.600,E,1,08,0.9,545.4,M,,M,,");
  FeedSentence(p, "GPRMB,A,0.66,L,003,004,4917.24,S,12309.57,W,001.3,052.5,000.5,A");
  const std::string json = RecordJson(p);
  EXPECT_EQ(NumberAfter(json, "GgaLat"), p.GgaLat);
  EXPECT_EQ(NumberAfter(json, "GgaLon"), p.GgaLon);
  EXPECT_EQ(NumberAfter(json, "GgaClimbRate"), p.GgaClimbRate);
  EXPECT_EQ(NumberAfter(json, "RmbToLat"), p.RmbToLat);
  EXPECT_EQ(NumberAfter(json, "RmbToLon"), p.RmbToLon);
  EXPECT_NE(json.find("\"GgaHdop\": 0.9,"), std::string::npos);  // shortest form
}

TEST(RecordJson, InfinityIsNull) {
  CNMEAParser p;
  FeedSentence(p, "GPGGA,120100,,,,,1,08,0.9,1e400,M,,M,,");
  const std::string json = RecordJson(p);
  EXPECT_NE(json.find("\"GgaAltitude\": null,"), std::string::npos);
  EXPECT_NE(json.find("\"GgaClimbRate\": null,"), std::string::npos);
}

TEST(RecordJson, SignedMembersPrintTheirSign) {
  CNMEAParser p;
  FeedSentence(p, "GPZDA,000000,01,01,2027,-05,-30");
  const std::string json = RecordJson(p);
  EXPECT_NE(json.find("\"ZdaZoneHours\": -5,"), std::string::npos);
  EXPECT_NE(json.find("\"ZdaZoneMinutes\": -30,"), std::string::npos);
}

TEST(RecordJson, TextsAreEscapedToPlainAscii) {
  CNMEAParser p;
  FeedSentence(p, "GPRMB,A,0.1,\",a\\b\"c,Z\xE9rich\x01,,,,,,,,V");
  const std::string json = RecordJson(p);
  EXPECT_NE(json.find("\"RmbSteer\": \"\\\"\","), std::string::npos) << json;
  EXPECT_NE(json.find("\"RmbFromId\": \"a\\\\b\\\"c\","), std::string::npos);
  EXPECT_NE(json.find("\"RmbToId\": \"Z\\u00e9rich\\u0001\","), std::string::npos);
}

TEST(RecordJson, SatelliteTableHasAllEntries) {
  CNMEAParser p;
  FeedSentence(p, "GPGSA,A,3,07,,,,,,,,,,,,1.0,1.0,1.0");
  FeedSentence(p, "GPGSV,1,1,01,07,45,123,39");
  const std::string json = RecordJson(p);
  EXPECT_NE(json.find("{\"Prn\": 7, \"Snr\": 39, \"InSolution\": 1, \"Azimuth\": 123, "
                      "\"Elevation\": 45}"),
            std::string::npos);
  size_t entries = 0;
  for (size_t at = 0; (at = json.find("{\"Prn\"", at)) != std::string::npos; ++at) ++entries;
  EXPECT_EQ(entries, 36u);
  EXPECT_NE(json.find("\"GsaActivePrn\": [7, 0,"), std::string::npos);
}

}  // namespace
