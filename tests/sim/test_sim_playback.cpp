#include "cycle_source.h"
#include "nmea_playback.h"

#include <gtest/gtest.h>

using namespace qvsim;

TEST(SentenceTime, ReadsTheTimeFieldOfTimedSentences)
{
    EXPECT_DOUBLE_EQ(*sentenceTime("$GPGGA,123519.50,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47"),
                     12 * 3600 + 35 * 60 + 19.5);
    EXPECT_DOUBLE_EQ(*sentenceTime("$GNRMC,000001,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"), 1.0);
    EXPECT_DOUBLE_EQ(*sentenceTime("$GPGLL,4916.45,N,12311.12,W,225444,A*31"), 22 * 3600 + 54 * 60 + 44.0);
    EXPECT_FALSE(sentenceTime("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39"));
    EXPECT_FALSE(sentenceTime("$GPGGA,,,,,,0,00,,,M,,M,,*66"));
    EXPECT_FALSE(sentenceTime("$GPGGA,12x519,*00"));
}

TEST(SplitRecording, CutsCyclesWhereTheTimeChangesAndKeepsSpacing)
{
    const auto cycles = splitRecording("# receiver: test\r\n"
                                       "$GPGSV,1,1,00*79\r\n"
                                       "$GPGGA,100000.00,*00\r\n"
                                       "$GPGSA,A,1*00\r\n"
                                       "$GPRMC,100000.00,V*00\r\n"
                                       "\r\n"
                                       "$GPGGA,100001.00,*00\n"
                                       "$GPRMC,100001.00,V*00\n"
                                       "$GPGGA,100004.50,*00\n");
    ASSERT_EQ(cycles.size(), 3u);
    EXPECT_EQ(cycles[0].offset, 0.0);
    EXPECT_EQ(cycles[0].lines.size(), 4u);
    EXPECT_EQ(cycles[0].lines[0], "$GPGSV,1,1,00*79");
    EXPECT_DOUBLE_EQ(cycles[1].offset, 1.0);
    EXPECT_EQ(cycles[1].lines.size(), 2u);
    EXPECT_DOUBLE_EQ(cycles[2].offset, 4.5);
}

TEST(SplitRecording, MidnightContinuesAndGapsOrStepsBackCountOneSecond)
{
    const auto cycles = splitRecording("$GPGGA,235959.00*00\n"
                                       "$GPGGA,000000.00*00\n"
                                       "$GPGGA,000500.00*00\n"
                                       "$GPGGA,000400.00*00\n");
    ASSERT_EQ(cycles.size(), 4u);
    EXPECT_DOUBLE_EQ(cycles[1].offset, 1.0);
    EXPECT_DOUBLE_EQ(cycles[2].offset, 2.0);
    EXPECT_DOUBLE_EQ(cycles[3].offset, 3.0);
}

TEST(RecordingPlayer, RecordedTimingPlaysCyclesAtTheirOffsetsAndLoops)
{
    RecordingPlayer player(splitRecording("$GPGGA,100000.00*00\n$GPZDA,100000.00*00\n$GPGGA,100002.00*00\n"), 0.0,
                           true);
    bool ends = false;
    ASSERT_DOUBLE_EQ(*player.nextAt(), 0.0);
    EXPECT_EQ(player.take(ends), (std::vector<std::string>{"$GPGGA,100000.00*00\r\n", "$GPZDA,100000.00*00\r\n"}));
    EXPECT_TRUE(ends);
    EXPECT_DOUBLE_EQ(*player.nextAt(), 2.0);
    player.take(ends);
    EXPECT_DOUBLE_EQ(*player.nextAt(), 3.0);
    EXPECT_EQ(player.take(ends).size(), 2u);
    EXPECT_DOUBLE_EQ(*player.nextAt(), 5.0);
}

TEST(RecordingPlayer, FixedRateSendsOneLineAtATimeAndEnds)
{
    RecordingPlayer player(splitRecording("$GPGGA,100000.00*00\n$GPZDA,100000.00*00\n$GPGGA,100009.00*00\n"), 4.0,
                           false);
    std::vector<double> times;
    std::vector<bool> ends;
    while (const auto at = player.nextAt()) {
        times.push_back(*at);
        bool end = false;
        EXPECT_EQ(player.take(end).size(), 1u);
        ends.push_back(end);
    }
    EXPECT_EQ(times, (std::vector<double>{0.0, 0.25, 0.5}));
    EXPECT_EQ(ends, (std::vector<bool>{false, true, true}));
}
