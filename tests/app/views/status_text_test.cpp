#include "app/views/status_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const QLocale kC = QLocale::c();

TEST(StatusText, ResetRecordShowsZeroesAndTheEpochDate) {
  CNMEAParser record;
  record.ResetRecord();
  EXPECT_EQ(LatitudeText(record.GgaLat, kC), " N 0.000000");
  EXPECT_EQ(LongitudeText(record.GgaLon, kC), " E 0.000000");
  EXPECT_EQ(AltitudeText(record.GgaAltitude, kC), "0");
  EXPECT_EQ(FixText(record.GsaFixType), "Fix not available");
  EXPECT_EQ(GpsTimeText(record), "2000/1/1   0:0:0");
  EXPECT_EQ(TtffText(1), "1 Sec");
  EXPECT_EQ(SpeedText(record.RmcSpeedKnots, kC), "0.0 KM/h");
}

struct Coordinate {
  double value;
  const char* latitude;
  const char* longitude;
};

class CoordinateText : public ::testing::TestWithParam<Coordinate> {};

TEST_P(CoordinateText, PrefixesHemisphereAndShowsSixRoundedDecimals) {
  EXPECT_EQ(LatitudeText(GetParam().value, kC), GetParam().latitude);
  EXPECT_EQ(LongitudeText(GetParam().value, kC), GetParam().longitude);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CoordinateText,
    ::testing::Values(Coordinate{0.0, " N 0.000000", " E 0.000000"}, Coordinate{-0.0, " N 0.000000", " E 0.000000"},
                      Coordinate{-0.5, " S 0.500000", " W 0.500000"},
                      Coordinate{-24.5, " S 24.500000", " W 24.500000"},
                      Coordinate{12.3456784, " N 12.345678", " E 12.345678"},
                      Coordinate{12.3456786, " N 12.345679", " E 12.345679"},
                      // The nearest double lies below the half; the decimal value does not.
                      Coordinate{12.3456785, " N 12.345679", " E 12.345679"},
                      Coordinate{-12.3456785, " S 12.345679", " W 12.345679"},
                      Coordinate{179.9999995, " N 180.000000", " E 180.000000"},
                      Coordinate{-0.0000004, " S 0.000000", " W 0.000000"}));

struct Fixed {
  double value;
  int decimals;
  const char* text;
};

class FixedFormat : public ::testing::TestWithParam<Fixed> {};

TEST_P(FixedFormat, RoundsTheDecimalValueHalfAwayFromZero) {
  EXPECT_EQ(FormatFixed(GetParam().value, GetParam().decimals, kC), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FixedFormat,
    ::testing::Values(Fixed{0.15, 1, "0.2"}, Fixed{0.25, 1, "0.3"}, Fixed{2.675, 2, "2.68"}, Fixed{0.95, 1, "1.0"},
                      Fixed{9.96, 1, "10.0"}, Fixed{0.04, 1, "0.0"}, Fixed{0.05, 1, "0.1"},
                      Fixed{-0.04, 1, "0.0"}, Fixed{-0.05, 1, "-0.1"}, Fixed{0.6, 0, "1"}, Fixed{0.4, 0, "0"},
                      Fixed{1234567.25, 1, "1234567.3"}, Fixed{1e20, 1, "100000000000000000000.0"},
                      Fixed{std::numeric_limits<double>::quiet_NaN(), 6, "NAN"},
                      Fixed{-std::numeric_limits<double>::infinity(), 6, "-INF"}));

struct General {
  double value;
  const char* text;
};

class AltitudeFormat : public ::testing::TestWithParam<General> {};

TEST_P(AltitudeFormat, UsesFifteenSignificantDigitsWithoutTrailingZeros) {
  EXPECT_EQ(AltitudeText(GetParam().value, kC), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, AltitudeFormat,
                         ::testing::Values(General{0.0, "0"}, General{-0.0, "0"}, General{123.4, "123.4"},
                                           General{57.0, "57"}, General{-12.5, "-12.5"}, General{0.1 + 0.2, "0.3"},
                                           General{1000.0, "1000"}, General{123456789012345.0, "123456789012345"},
                                           General{1e15, "1E15"}, General{0.00001, "0.00001"},
                                           General{0.0000015, "1.5E-6"}, General{-2.5e20, "-2.5E20"}));

TEST(StatusText, CommaLocaleSeparatesDecimalsWithComma) {
  const QLocale german(QLocale::German);
  EXPECT_EQ(LatitudeText(-12.3456784, german), " S 12,345678");
  EXPECT_EQ(LongitudeText(8.5, german), " E 8,500000");
  EXPECT_EQ(AltitudeText(1234.5, german), "1234,5");
  EXPECT_EQ(AltitudeText(57.0, german), "57");
  EXPECT_EQ(SpeedText(5.0, german), "9,3 KM/h");
}

TEST(StatusText, SpeedInKilometresPerHourWithOneDecimal) {
  EXPECT_EQ(SpeedText(5.0, kC), "9.3 KM/h");
  EXPECT_EQ(SpeedText(0.0, kC), "0.0 KM/h");
  EXPECT_EQ(SpeedText(0.05, kC), "0.1 KM/h");
  EXPECT_EQ(SpeedText(100.0, kC), "185.2 KM/h");
}

TEST(StatusText, FixTextsByType) {
  EXPECT_EQ(FixText(0), "Unknown");
  EXPECT_EQ(FixText(1), "Fix not available");
  EXPECT_EQ(FixText(2), "2D Fix");
  EXPECT_EQ(FixText(3), "3D Fix");
  EXPECT_EQ(FixText(255), "Unknown");
}

TEST(StatusText, GpsTimeHasNoLeadingZeros) {
  CNMEAParser record;
  record.RmcYear = 2024;
  record.RmcMonth = 3;
  record.RmcDay = 7;
  record.RmcUtcHour = 9;
  record.RmcUtcMinute = 5;
  record.RmcUtcSecond = 0;
  EXPECT_EQ(GpsTimeText(record), "2024/3/7   9:5:0");
  record.RmcYear = 65535;
  record.RmcMonth = record.RmcDay = record.RmcUtcHour = record.RmcUtcMinute = record.RmcUtcSecond = 255;
  EXPECT_EQ(GpsTimeText(record), "65535/255/255   255:255:255");
}

TEST(StatusText, ActivityBarFollowsSentenceCountModuloHundred) {
  EXPECT_EQ(ActivityPosition(0), 0);
  EXPECT_EQ(ActivityPosition(199), 99);
  uint32_t total = 4294967295u;
  EXPECT_EQ(ActivityPosition(total), 95);
  ++total;
  EXPECT_EQ(ActivityPosition(total), 0);
}

TEST(StatusText, TtffStopsAtFirst3DFixAndResumesOnFallBack) {
  int32_t count = 0;
  QString shown;
  auto refresh = [&](uint8_t fixType) {
    if (TtffCounts(fixType)) {
      ++count;
    }
    shown = TtffText(count);
  };
  for (int i = 0; i < 34; ++i) {
    refresh(i < 20 ? 1 : 2);
  }
  refresh(3);
  EXPECT_EQ(shown, "34 Sec");
  refresh(3);
  refresh(0);
  EXPECT_EQ(shown, "34 Sec") << "an unknown fix type does not count";
  refresh(2);
  EXPECT_EQ(shown, "35 Sec");
}

TEST(StatusText, GridTextColourByFixType) {
  const QColor current(1, 2, 3);
  const QColor grey(0x6D, 0x6D, 0x6D);
  EXPECT_EQ(GridTextColour(0, current, grey), current);
  EXPECT_EQ(GridTextColour(1, current, grey), QColor(0xFF, 0, 0));
  EXPECT_EQ(GridTextColour(2, current, grey), grey);
  EXPECT_EQ(GridTextColour(3, current, grey), QColor(0, 0, 0));
  EXPECT_EQ(GridTextColour(4, current, grey), current);
}

TEST(StatusText, LogLampAlternatesWithTicks) {
  EXPECT_STREQ(LogLampGlyph(1), "ID_LOGNMEA1");
  EXPECT_STREQ(LogLampGlyph(2), "ID_LOGNMEA2");
  EXPECT_STREQ(LogLampGlyph(3), "ID_LOGNMEA1");
  EXPECT_STREQ(LogLampGlyph(-1), "ID_LOGNMEA1");
}

}  // namespace
