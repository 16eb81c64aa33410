#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "accuracy_figures.h"
#include "circle_recording.h"
#include "sample_collector.h"

namespace {

using stats::Figure;

stats::AccuracyFigures FiguresOf(const std::string& nmea, bool gnss,
                                 const std::optional<stats::FixedPoint>& fixed) {
  CNMEAParser parser;
  parser.SetGnssMode(gnss);
  stats::SampleCollector c(parser);
  Feed(parser, nmea);
  return stats::ComputeFigures(c.Samples(), c.Rejected(), c.GgaDecoded(), fixed);
}

// Each body as a sentence on a line of its own.
std::string Lines(const std::vector<const char*>& bodies) {
  std::string out;
  for (const char* body : bodies) out += Sentence(body) + "\r\n";
  return out;
}

struct CircleCase {
  const char* name;
  Centre centre;
  std::vector<Ring> rings;
  double up;
  bool fixedReference;  // the centre given, or the samples' mean
  bool gnss;
  const char* talker;
  double cep50, cep95, drms2, maxH;
};

class Circles : public testing::TestWithParam<CircleCase> {};

TEST_P(Circles, HorizontalFiguresAreTheRadii) {
  const CircleCase& t = GetParam();
  std::optional<stats::FixedPoint> fixed;
  if (t.fixedReference) fixed = stats::FixedPoint{t.centre.lat, t.centre.lon, t.centre.alt};
  const auto f = FiguresOf(CircleRecording(t.centre, t.rings, t.up, t.talker), t.gnss, fixed);
  int n = 0;
  for (const Ring& r : t.rings) n += r.count;
  EXPECT_EQ(f.Samples, static_cast<uint64_t>(n));
  EXPECT_EQ(f.GgaDecoded, static_cast<uint64_t>(n));
  EXPECT_NEAR(*f[Figure::Cep50], t.cep50, 1e-4);
  EXPECT_NEAR(*f[Figure::Cep95], t.cep95, 1e-4);
  EXPECT_NEAR(*f[Figure::Drms2], t.drms2, 1e-4);
  EXPECT_NEAR(*f[Figure::MaxH], t.maxH, 1e-4);
  // Alternately up and down by the same height.
  EXPECT_NEAR(*f[Figure::SigmaU], t.up, 1e-4);
  EXPECT_NEAR(*f[Figure::U95], t.up, 1e-4);
  EXPECT_NEAR(*f[Figure::MeanAlt], t.centre.alt, 1e-9);
  EXPECT_NEAR(*f[Figure::MeanLat], t.centre.lat, 1e-9);
  EXPECT_NEAR(*f[Figure::MeanLon], t.centre.lon, 1e-9);
  EXPECT_DOUBLE_EQ(*f[Figure::MeanSats], 8.0);
  EXPECT_NEAR(*f[Figure::MeanHdop], 0.8, 1e-12);
  EXPECT_FALSE(f[Figure::MeanSnrTop4]) << "no satellites in the recording";
}

// 50 fixes at 1 m, 45 at 2 m, 5 at 10 m: sorted d has 1 at index 49 and 2 at
// 50 (CEP50 at 49.5), 2 at 94 and 10 at 95 (CEP95 at 94.05).
const std::vector<Ring> kThreeRings = {{1.0, 50}, {2.0, 45}, {10.0, 5}};
const double kThreeRingsDrms2 = 2.0 * std::sqrt((50 * 1.0 + 45 * 4.0 + 5 * 100.0) / 100.0);

INSTANTIATE_TEST_SUITE_P(
    Stats, Circles,
    testing::Values(
        CircleCase{"one_ring_greenwich", {51.4779, -0.0015, 46.0}, {{3.0, 20}}, 0.5, true, false, "GP",
                   3.0, 3.0, 6.0, 3.0},
        CircleCase{"three_rings_sydney", {-33.8568, 151.2153, 12.0}, kThreeRings, 1.5, true, false, "GP",
                   1.5, 2.0 + 0.05 * 8.0, kThreeRingsDrms2, 10.0},
        CircleCase{"three_rings_about_their_mean", {-33.8568, 151.2153, 12.0}, kThreeRings, 1.5, false,
                   false, "GP", 1.5, 2.4, kThreeRingsDrms2, 10.0},
        CircleCase{"gnss_talker_in_gnss_mode", {64.1466, -21.9426, 30.0}, {{0.5, 38}, {4.0, 2}}, 0.2, true,
                   true, "GN", 0.5, 0.5 + 0.05 * 3.5, 2.0 * std::sqrt((38 * 0.25 + 2 * 16.0) / 40.0), 4.0}),
    [](const testing::TestParamInfo<CircleCase>& info) { return std::string(info.param.name); });

TEST(Stats, GnssTalkerIsNoSampleInTheDefaultMode) {
  const auto f = FiguresOf(CircleRecording({10.0, 10.0, 0.0}, {{1.0, 4}}, 0.0, "GN"), false, std::nullopt);
  EXPECT_EQ(f.Samples, 0u);
  EXPECT_EQ(f.GgaDecoded, 0u);
}

struct BadInputCase {
  std::vector<const char*> ggas;
  uint64_t samples, rejected;
  std::vector<std::pair<Figure, std::optional<double>>> figures;  // none: the figure has no value
};

TEST(Stats, BadInputIsCountedButGivesNoFalseFigures) {
  const BadInputCase cases[] = {
      // Quality 0, no position, an empty quality field: no sample, no figure at all.
      {{"GPGGA,120000,4807.038,N,01131.000,E,0,00,,,M,,M,,", "GPGGA,120001,,,,,1,04,2.0,10.0,M,,M,,",
        "GPGGA,120002,4807.038,N,01131.000,E,,04,2.0,10.0,M,,M,,"},
       0, 0, {}},
      // Latitude beyond 90 and longitude beyond 180 are rejected. The last
      // sentence's empty HDOP and altitude are not the previous sentences' values.
      {{"GPGGA,120000,9130.000,N,01131.000,E,1,04,2.0,10.0,M,,M,,",
        "GPGGA,120001,4807.038,N,18100.000,W,1,04,2.0,10.0,M,,M,,",
        "GPGGA,120002,4807.038,N,01131.000,E,1,06,,,M,,M,,"},
       1, 2,
       {{Figure::MeanLat, 48.1173}, {Figure::MeanSats, 6.0}, {Figure::MeanHdop, std::nullopt},
        {Figure::MeanAlt, std::nullopt}, {Figure::SigmaU, std::nullopt}, {Figure::Cep95, 0.0}}},
      // Altitude and HDOP that read as infinity count as not sent, rather than
      // turning the means and the vertical figures into NaN.
      {{"GPGGA,120000,4807.038,N,01131.000,E,1,04,1e999,1e999,M,,M,,",
        "GPGGA,120001,4807.038,N,01131.000,E,1,04,2.0,10.0,M,,M,,"},
       2, 0,
       {{Figure::MeanAlt, 10.0}, {Figure::MeanHdop, 2.0}, {Figure::SigmaU, 0.0}, {Figure::U95, 0.0}}},
  };
  for (const BadInputCase& t : cases) {
    const auto f = FiguresOf(Lines(t.ggas), false, std::nullopt);
    EXPECT_EQ(f.Samples, t.samples);
    EXPECT_EQ(f.Rejected, t.rejected);
    EXPECT_EQ(f.GgaDecoded, t.ggas.size());
    EXPECT_EQ(f.Reference.has_value(), t.samples > 0);
    for (size_t i = 0; i < stats::kFigureCount && t.samples == 0; ++i)
      EXPECT_FALSE(f.Values[i]) << stats::kFigureNames[i].Name;
    for (const auto& [figure, value] : t.figures) {
      const std::string name(stats::kFigureNames[static_cast<size_t>(figure)].Name);
      ASSERT_EQ(f[figure].has_value(), value.has_value()) << name;
      if (value) {
        EXPECT_NEAR(*f[figure], *value, 1e-12) << name;
      }
    }
  }
}

TEST(Stats, TopFourSnrAveragesTheStrongestNonZeroSignals) {
  const std::string gga = Lines({"GPGGA,120000,4807.038,N,01131.000,E,1,06,1.0,10.0,M,,M,,"});
  const std::string six = Lines({"GPGSV,2,1,06,01,40,050,40,02,30,100,45,03,20,200,00,04,10,300,30",
                                 "GPGSV,2,2,06,05,40,050,50,06,30,100,35"});
  const std::string two = Lines({"GPGSV,1,1,02,01,40,050,30,02,30,100,20"});
  // 50, 45, 40 and 35 give 42.5; then 30 and 20 give 25.
  EXPECT_DOUBLE_EQ(*FiguresOf(six + gga + two + gga, false, std::nullopt)[Figure::MeanSnrTop4], 33.75);
  const std::string gnss = Lines({"GLGSV,1,1,03,65,40,050,41,66,30,100,47,67,20,200,"});
  EXPECT_DOUBLE_EQ(*FiguresOf(gnss + gga, true, std::nullopt)[Figure::MeanSnrTop4], 44.0);
}

TEST(Stats, SampleHoldsTheActiveModesSatellitesInView) {
  const std::string gga = Lines({"GPGGA,120000,4807.038,N,01131.000,E,1,06,1.0,10.0,M,,M,,"});
  // The announced count, though the sentence lists only two; GNSS mode counts
  // its list, GPS and GLONASS together.
  const std::string gsv = Lines({"GPGSV,4,1,14,01,40,050,30,02,30,100,20"});
  const std::string glonass = Lines({"GLGSV,1,1,03,65,40,050,41,66,30,100,47,67,20,200,"});
  struct Case {
    bool gnss;
    std::string nmea;
    int inView;
  };
  for (const Case& t : {Case{false, gga, 0}, Case{false, gsv + glonass + gga, 14},
                        Case{true, gsv + glonass + gga, 5}}) {
    CNMEAParser parser;
    parser.SetGnssMode(t.gnss);
    stats::SampleCollector c(parser);
    Feed(parser, t.nmea);
    ASSERT_EQ(c.Samples().Size(), 1u);
    EXPECT_EQ(c.Samples()[0].InView, t.inView) << t.nmea;
    EXPECT_EQ(c.Samples()[0].TimeText(), "120000");
  }
}

TEST(Stats, PercentileInterpolatesBetweenSortedValues) {
  std::vector<double> v = {4.0, 1.0, 3.0, 2.0};
  EXPECT_DOUBLE_EQ(stats::Percentile(v, 50.0), 2.5);
  EXPECT_DOUBLE_EQ(stats::Percentile(v, 95.0), 3.0 + (0.95 * 3.0 - 2.0));
  EXPECT_DOUBLE_EQ(stats::Percentile(v, 100.0), 4.0);
  std::vector<double> one = {7.0};
  EXPECT_DOUBLE_EQ(stats::Percentile(one, 95.0), 7.0);
}

TEST(Stats, OffsetsOfAKnownPoint) {
  // One minute of latitude north at the equator is 1842.9 m of meridian arc;
  // 100 m up at the reference point is 100 m up.
  const stats::LocalFrame equator(0.0, 0.0, 0.0);
  EXPECT_NEAR(equator.Offset(1.0 / 60.0, 0.0, 0.0).North, 1842.9, 0.1);
  const stats::Enu up = equator.Offset(0.0, 0.0, 100.0);
  EXPECT_NEAR(up.Up, 100.0, 1e-9);
  EXPECT_NEAR(up.East, 0.0, 1e-9);
  EXPECT_NEAR(up.North, 0.0, 1e-9);
}

TEST(Stats, RepeatingEcefIsToEcefToTheBit) {
  // Repeats, values sharing a slot, and values a step apart: whatever the
  // slots keep, every result is ToEcef's.
  stats::RepeatingEcef ecef;
  for (int k = 0; k < 3000; ++k) {
    const double lat = 48.1 + 1e-7 * (k * 37 % 1001), lon = -0.0015 + 1e-7 * (k * 53 % 997), h = k % 7;
    const stats::Ecef a = ecef(lat, lon, h), b = stats::ToEcef(lat, lon, h);
    ASSERT_TRUE(a.X == b.X && a.Y == b.Y && a.Z == b.Z) << k;
  }
}

}  // namespace
