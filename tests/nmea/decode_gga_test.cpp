#include <gtest/gtest.h>

#include "sentence.h"

namespace {

std::string Gga(const std::string& time, const std::string& lat, const std::string& ns,
                const std::string& lon, const std::string& ew, const std::string& alt = "545.4") {
  return Sentence("GPGGA," + time + "," + lat + "," + ns + "," + lon + "," + ew +
                  ",1,08,0.9," + alt + ",M,46.9,M,,");
}

TEST(Gga, DecodesEveryReadField) {
  CNMEAParser p;
  Feed(p, Sentence("GPGGA,123519.50,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,,"));
  EXPECT_EQ(p.GgaUtcHour, 12);
  EXPECT_EQ(p.GgaUtcMinute, 35);
  EXPECT_EQ(p.GgaUtcSecond, 19);
  EXPECT_NEAR(p.GgaLat, 48.1173, 1e-12);
  EXPECT_NEAR(p.GgaLon, 11.516666666666667, 1e-12);
  EXPECT_EQ(p.GgaQuality, 2);
  EXPECT_EQ(p.GgaSatsUsed, 8);
  EXPECT_EQ(p.GgaHdop, 0.9);
  EXPECT_EQ(p.GgaAltitude, 545.4);
  EXPECT_EQ(p.GgaSentences, 1u);
}

struct HemisphereCase {
  const char* ns;
  const char* ew;
  double lat;
  double lon;
};

class GgaHemisphere : public testing::TestWithParam<HemisphereCase> {};

TEST_P(GgaHemisphere, SouthAndWestAreNegative) {
  CNMEAParser p;
  Feed(p, Gga("000000", "3412.300", GetParam().ns, "15030.600", GetParam().ew));
  EXPECT_NEAR(p.GgaLat, GetParam().lat, 1e-9);
  EXPECT_NEAR(p.GgaLon, GetParam().lon, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Gga, GgaHemisphere,
                         testing::Values(HemisphereCase{"S", "E", -34.205, 150.51},
                                         HemisphereCase{"N", "W", 34.205, -150.51},
                                         HemisphereCase{"", "", 34.205, 150.51},
                                         HemisphereCase{"s", "w", 34.205, 150.51}));

TEST(Gga, EmptyCoordinatesKeepPreviousValuesAndSigns) {
  CNMEAParser p;
  Feed(p, Gga("000000", "3412.300", "S", "15030.600", "W"));
  for (int i = 0; i < 3; ++i) Feed(p, Gga("000001", "", "", "", ""));
  Feed(p, Gga("000002", "", "N", "", "E"));
  EXPECT_NEAR(p.GgaLat, -34.205, 1e-9);
  EXPECT_NEAR(p.GgaLon, -150.51, 1e-9);
  EXPECT_EQ(p.GgaSentences, 5u);
}

TEST(Gga, SatsUsedReadsTheFirstTwoCharacters) {
  for (const auto& [field, sats] : {std::pair{"8", 8}, {"08", 8}, {"123", 12}, {"", 0}}) {
    CNMEAParser p;
    Feed(p, Sentence(std::string("GPGGA,,,,,,1,") + field + ",,"));
    EXPECT_EQ(p.GgaSatsUsed, sats) << field;
  }
}

TEST(Gga, ShortTimeFieldReadsMissingCharactersAsAbsent) {
  CNMEAParser p;
  Feed(p, Gga("123519", "", "", "", ""));
  Feed(p, Gga("12", "", "", "", ""));
  EXPECT_EQ(p.GgaUtcHour, 12);
  EXPECT_EQ(p.GgaUtcMinute, 0);
  EXPECT_EQ(p.GgaUtcSecond, 0);
  Feed(p, Gga("0815", "", "", "", ""));
  EXPECT_EQ(p.GgaUtcHour, 8);
  EXPECT_EQ(p.GgaUtcMinute, 15);
  EXPECT_EQ(p.GgaUtcSecond, 0);
}

TEST(Gga, ShortCoordinatesReadMissingMinutesAsZero) {
  CNMEAParser p;
  Feed(p, Gga("000000", "4", "S", "15", "W"));
  EXPECT_EQ(p.GgaLat, -4.0);
  EXPECT_EQ(p.GgaLon, -15.0);
}

TEST(GgaClimb, FirstSentenceAfterResetClimbsFromZeroAtHourStart) {
  CNMEAParser p;
  Feed(p, Gga("120200", "", "", "", "", "100"));
  EXPECT_DOUBLE_EQ(p.GgaClimbRate, 50.0);  // 100 m over two minutes
  EXPECT_EQ(p.GgaPrevTimeSec, 120);
  EXPECT_EQ(p.GgaPrevAltitude, 100.0);
}

TEST(GgaClimb, SixtySecondsApartGiveRatePerMinute) {
  CNMEAParser p;
  Feed(p, Gga("121000", "", "", "", "", "100"));
  Feed(p, Gga("121100", "", "", "", "", "130"));
  EXPECT_DOUBLE_EQ(p.GgaClimbRate, 30.0);
  Feed(p, Gga("121130", "", "", "", "", "145"));
  EXPECT_DOUBLE_EQ(p.GgaClimbRate, 30.0);
  Feed(p, Gga("121140", "", "", "", "", "140"));
  EXPECT_DOUBLE_EQ(p.GgaClimbRate, -30.0);
}

TEST(GgaClimb, TopOfTheHourSkipsOneUpdate) {
  CNMEAParser p;
  Feed(p, Gga("125900", "", "", "", "", "100"));
  Feed(p, Gga("125930", "", "", "", "", "110"));
  ASSERT_DOUBLE_EQ(p.GgaClimbRate, 20.0);
  Feed(p, Gga("130000", "", "", "", "", "200"));
  EXPECT_DOUBLE_EQ(p.GgaClimbRate, 20.0);
  EXPECT_EQ(p.GgaPrevTimeSec, 0);
  Feed(p, Gga("130030", "", "", "", "", "205"));
  EXPECT_DOUBLE_EQ(p.GgaClimbRate, 10.0);
}

TEST(GgaClimb, RepeatedTimeKeepsRate) {
  CNMEAParser p;
  Feed(p, Gga("121000", "", "", "", "", "100"));
  Feed(p, Gga("121100", "", "", "", "", "130"));
  Feed(p, Gga("121100", "", "", "", "", "900"));
  EXPECT_DOUBLE_EQ(p.GgaClimbRate, 30.0);
  EXPECT_EQ(p.GgaPrevAltitude, 900.0);
}

struct HeardGga {
  int calls = 0;
  uint8_t fields = 0;
  std::string time;
  double lat = 0.0;
};

void Hear(void* context, const CNMEAParser& p, const GgaSent& sent) {
  auto& h = *static_cast<HeardGga*>(context);
  ++h.calls;
  h.fields = sent.Fields;
  h.time = std::string(sent.Time);
  h.lat = p.GgaLat;
}

TEST(GgaListener, HearsEachDecodedGgaWithTheFieldsItSent) {
  CNMEAParser p;
  HeardGga heard;
  p.SetGgaListener(&Hear, &heard);
  // Two sentences in one chunk, then one with empty position and altitude.
  Feed(p, Gga("120000.25", "4807.038", "N", "01131.000", "E") + "\r\n" +
              Gga("120000.50", "4807.039", "N", "01131.000", "E") + "\r\n");
  EXPECT_EQ(heard.calls, 2);
  EXPECT_EQ(heard.time, "120000.50");
  EXPECT_NEAR(heard.lat, 48.117316666666667, 1e-12);
  EXPECT_EQ(heard.fields, GgaSent::kTime | GgaSent::kLat | GgaSent::kLon | GgaSent::kQuality |
                              GgaSent::kSatsUsed | GgaSent::kHdop | GgaSent::kAltitude);
  Feed(p, Sentence("GPGGA,120001,,,,,0,,,,M,,M,,") + "\r\n");
  EXPECT_EQ(heard.calls, 3);
  EXPECT_EQ(heard.fields, GgaSent::kTime | GgaSent::kQuality);
  // Other talkers are decoded, and heard, only in GNSS mode.
  Feed(p, Sentence("GNGGA,120002,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") + "\r\n");
  EXPECT_EQ(heard.calls, 3);
  p.SetGnssMode(true);
  Feed(p, Sentence("GNGGA,120002,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") + "\r\n");
  EXPECT_EQ(heard.calls, 4);
}

}  // namespace
