#include "nmea_builder.h"
#include "nmea_check.h"
#include "utc_time.h"

#include <gtest/gtest.h>

#include <regex>

using namespace qvsim;
using simtest::fields;
using simtest::hasValidChecksum;

namespace {

Centis at(const char* text)
{
    return *parseUtc(text);
}

ReceiverState fixedState(int satellites)
{
    ReceiverState s;
    s.time = at("2026-03-07T09:05:03.25");
    s.fix = FixMode::ThreeD;
    s.lat = -34.205;
    s.lon = 150.51;
    s.altitude = 123.4;
    s.speedKnots = 22.4;
    s.courseDeg = 271.5;
    s.hdop = 0.9;
    s.pdop = 1.5;
    s.vdop = 1.2;
    for (int i = 0; i < satellites; ++i) {
        s.inView.push_back({i + 1, 10 + i, 100 + i, 30 + i});
        if (i < 12)
            s.usedPrns.push_back(i + 1);
    }
    return s;
}

}  // namespace

TEST(NmeaChecksum, MatchesTheKnownSirfCommand)
{
    EXPECT_EQ(nmeaChecksum("PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4"), 0x28);
    EXPECT_EQ(finishSentence("GPGSV,1,1,00"), "$GPGSV,1,1,00*79\r\n");
}

struct CoordinateCase {
    double degrees;
    const char* latitude;
    const char* longitude;
};

class CoordinateFormat : public testing::TestWithParam<CoordinateCase> {};

TEST_P(CoordinateFormat, WritesDegreesAndMinutesWithHemisphere)
{
    EXPECT_EQ(formatLatitude(GetParam().degrees), GetParam().latitude);
    EXPECT_EQ(formatLongitude(GetParam().degrees), GetParam().longitude);
}

INSTANTIATE_TEST_SUITE_P(Table, CoordinateFormat,
                         testing::Values(CoordinateCase{0.0, "0000.0000,N", "00000.0000,E"},
                                         CoordinateCase{-34.205, "3412.3000,S", "03412.3000,W"},
                                         CoordinateCase{51.4779, "5128.6740,N", "05128.6740,E"},
                                         CoordinateCase{-0.0015, "0000.0900,S", "00000.0900,W"},
                                         // Minutes that round up to 60 carry into the degrees.
                                         CoordinateCase{12.9999999999, "1300.0000,N", "01300.0000,E"},
                                         CoordinateCase{-0.0000000001, "0000.0000,N", "00000.0000,E"},
                                         CoordinateCase{89.5, "8930.0000,N", "08930.0000,E"}));

TEST(NmeaBuilder, LongitudeKeepsThreeDegreeDigits)
{
    EXPECT_EQ(formatLongitude(150.51), "15030.6000,E");
    EXPECT_EQ(formatLongitude(-180.0), "18000.0000,W");
}

TEST(NmeaBuilder, TimeAndDateUseNmeaLayouts)
{
    EXPECT_EQ(formatTime(at("2026-03-07T09:05:03.25")), "090503.25");
    EXPECT_EQ(formatDate(at("2026-03-07T09:05:03")), "070326");
    EXPECT_EQ(formatTime(at("1999-12-31T23:59:59")), "235959.00");
    EXPECT_EQ(formatDate(at("2000-02-29T00:00:00")), "290200");
}

TEST(NmeaBuilder, EverySentenceOfACycleHasAValidChecksumAndCrLf)
{
    ReceiverState s = fixedState(13);
    s.waypoint = WaypointReport{"START", "HOME", 51.5, -0.1, 0.2, 3.5, 270.0, 10.0, false};
    const std::vector<std::string> cycle = buildCycle(s);
    for (const std::string& line : cycle)
        EXPECT_TRUE(hasValidChecksum(line)) << line;
}

TEST(NmeaBuilder, GgaFieldsHaveTheirFormats)
{
    const std::vector<std::string> f = fields(buildGga(fixedState(5)));
    ASSERT_EQ(f.size(), 15u);
    EXPECT_EQ(f[0], "GPGGA");
    EXPECT_TRUE(std::regex_match(f[1], std::regex(R"(\d{6}\.\d{2})"))) << f[1];
    EXPECT_EQ(f[2], "3412.3000");
    EXPECT_EQ(f[3], "S");
    EXPECT_EQ(f[4], "15030.6000");
    EXPECT_EQ(f[5], "E");
    EXPECT_EQ(f[6], "1");
    EXPECT_EQ(f[7], "05");
    EXPECT_EQ(f[9], "123.4");
}

TEST(NmeaBuilder, WithoutFixPositionIsEmptyAndStatusVoid)
{
    ReceiverState s = fixedState(0);
    s.fix = FixMode::None;
    s.usedPrns.clear();
    const auto gga = fields(buildGga(s));
    EXPECT_EQ(gga[2], "");
    EXPECT_EQ(gga[4], "");
    EXPECT_EQ(gga[6], "0");
    const auto rmc = fields(buildRmc(s));
    EXPECT_EQ(rmc[2], "V");
    EXPECT_EQ(rmc[3], "");
    EXPECT_EQ(rmc[9], "070326");
    const auto gsa = fields(buildGsa(s));
    EXPECT_EQ(gsa[2], "1");
    EXPECT_EQ(gsa[3], "");
}

TEST(NmeaBuilder, RmcCarriesKnotsCourseAndDate)
{
    const auto f = fields(buildRmc(fixedState(4)));
    ASSERT_EQ(f.size(), 13u);
    EXPECT_TRUE(std::regex_match(f[1], std::regex(R"(\d{6}\.\d{2})")));
    EXPECT_EQ(f[2], "A");
    EXPECT_EQ(f[7], "22.4");
    EXPECT_EQ(f[8], "271.5");
    EXPECT_EQ(f[9], "070326");
}

TEST(NmeaBuilder, GsaHasTwelveSlotsWithTheUsedPrns)
{
    ReceiverState s = fixedState(3);
    const auto f = fields(buildGsa(s));
    ASSERT_EQ(f.size(), 18u);
    EXPECT_EQ(f[2], "3");
    EXPECT_EQ(f[3], "01");
    EXPECT_EQ(f[5], "03");
    EXPECT_EQ(f[6], "");
    EXPECT_EQ(f[14], "");
    EXPECT_EQ(f[15], "1.5");
}

TEST(NmeaBuilder, ZdaCarriesFourDigitYear)
{
    const auto f = fields(buildZda(fixedState(0)));
    ASSERT_EQ(f.size(), 7u);
    EXPECT_EQ(f[1], "090503.25");
    EXPECT_EQ(f[2], "07");
    EXPECT_EQ(f[3], "03");
    EXPECT_EQ(f[4], "2026");
}

class GsvSplit : public testing::TestWithParam<int> {};

TEST_P(GsvSplit, NumbersMessagesAndCarriesAtMostFourSatellitesEach)
{
    const int satellites = GetParam();
    const std::vector<std::string> gsv = buildGsv(fixedState(satellites));
    const std::size_t expected = satellites == 0 ? 1 : static_cast<std::size_t>((satellites + 3) / 4);
    ASSERT_EQ(gsv.size(), expected);
    int listed = 0;
    for (std::size_t m = 0; m < gsv.size(); ++m) {
        EXPECT_TRUE(hasValidChecksum(gsv[m]));
        const auto f = fields(gsv[m]);
        EXPECT_EQ(f[1], std::to_string(expected));
        EXPECT_EQ(f[2], std::to_string(m + 1));
        EXPECT_EQ(std::stoi(f[3]), satellites);
        ASSERT_EQ((f.size() - 4) % 4, 0u) << gsv[m];
        const int here = static_cast<int>((f.size() - 4) / 4);
        EXPECT_LE(here, 4);
        for (int i = 0; i < here; ++i)
            EXPECT_EQ(std::stoi(f[4 + 4 * static_cast<std::size_t>(i)]), listed + i + 1);
        listed += here;
    }
    EXPECT_EQ(listed, satellites);
}

INSTANTIATE_TEST_SUITE_P(Counts, GsvSplit, testing::Values(0, 1, 4, 5, 12, 13, 32, 36));

TEST(NmeaBuilder, CycleOrderEndsWithZdaAndHasRmbOnlyWithWaypoint)
{
    ReceiverState s = fixedState(9);
    auto names = [](const std::vector<std::string>& lines) {
        std::vector<std::string> out;
        for (const auto& l : lines)
            out.push_back(fields(l)[0]);
        return out;
    };
    EXPECT_EQ(names(buildCycle(s)),
              (std::vector<std::string>{"GPGGA", "GPGSA", "GPGSV", "GPGSV", "GPGSV", "GPRMC", "GPZDA"}));
    s.waypoint = WaypointReport{"START", "HOME", 51.5, -0.1, -0.25, 3.5, 270.0, 10.0, false};
    const std::vector<std::string> cycle = buildCycle(s);
    EXPECT_EQ(names(cycle), (std::vector<std::string>{"GPGGA", "GPGSA", "GPGSV", "GPGSV", "GPGSV", "GPRMC", "GPRMB",
                                                      "GPZDA"}));
    const auto rmb = fields(cycle[6]);
    ASSERT_EQ(rmb.size(), 15u);
    EXPECT_EQ(rmb[1], "A");
    EXPECT_EQ(rmb[2], "0.25");
    EXPECT_EQ(rmb[3], "R");  // left of the track: steer right
    EXPECT_EQ(rmb[5], "HOME");
    EXPECT_EQ(rmb[6], "5130.0000");
    EXPECT_EQ(rmb[9], "W");
}
