#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnss_listing.h"
#include "gnss_satellites.h"
#include "sentence.h"

namespace {

using nmea::Talker;

TEST(GnssClassify, TalkerNumberRangeAndSystemIdGiveSystemAndNumberWithinIt) {
  // Small numbers belong to the talker's own system; larger ranges name their
  // system whoever sends them.
  const struct {
    Talker talker;
    int number;
    const char* want;  // letter and number within the system; "" for none
  } rows[] = {
      {Talker::GP, 7, "G7"},      {Talker::GN, 32, "G32"},    {Talker::GL, 12, "R12"},
      {Talker::GA, 36, "E36"},    {Talker::GA, 37, ""},       {Talker::GB, 63, "C63"},
      {Talker::BD, 40, "C40"},    {Talker::GQ, 10, "J10"},    {Talker::GQ, 11, ""},
      {Talker::GI, 14, "I14"},    {Talker::GI, 15, ""},       {Talker::GP, 33, "S120"},
      {Talker::GN, 64, "S151"},   {Talker::GP, 65, "R1"},     {Talker::GN, 96, "R32"},
      {Talker::GP, 97, ""},       {Talker::GP, 120, "S120"},  {Talker::GP, 158, "S158"},
      {Talker::GP, 159, ""},      {Talker::GP, 193, "J1"},    {Talker::GQ, 202, "J10"},
      {Talker::GB, 201, "C1"},    {Talker::GB, 193, ""},      {Talker::GN, 263, "C63"},
      {Talker::GA, 301, "E1"},    {Talker::GN, 336, "E36"},   {Talker::GB, 401, "C1"},
      {Talker::GN, 463, "C63"},   {Talker::GN, 464, ""},      {Talker::GP, 0, ""},
      {Talker::GP, -3, ""},       {nmea::TalkerOfSystemId(2), 5, "R5"},
      {nmea::TalkerOfSystemId(5), 3, "J3"}, {nmea::TalkerOfSystemId(6), 2, "I2"},
      {nmea::TalkerOfSystemId(7), 5, "G5"}, {nmea::TalkerOf("BDGSV"), 9, "C9"},
      {Talker::GA, 101, "E1"},    {Talker::GA, 136, "E36"},   {Talker::GA, 137, "S137"},
      {Talker::GN, 136, "S136"},  {nmea::TalkerOf("PQGSV"), 7, "C7"}, {Talker::PQ, 202, "C2"},
      {nmea::TalkerOf("QZGSV"), 3, "J3"}, {nmea::TalkerOf("QZGSA"), 195, "J3"},
  };
  for (const auto& r : rows) {
    GnssSystem system{};
    uint16_t id = 0;
    const bool found = nmea::ClassifySatellite(r.talker, r.number, system, id);
    EXPECT_EQ(found ? GnssSystemLetter(system) + std::to_string(id) : "", r.want)
        << "talker " << static_cast<int>(r.talker) << " number " << r.number;
  }
}

class Gnss : public testing::Test {
 protected:
  Gnss() { p.SetGnssMode(true); }

  void Send(const std::vector<std::string>& bodies) {
    for (const auto& b : bodies) Feed(p, Sentence(b));
  }
  std::string Listed(bool snr = false) const { return GnssListing(p.GnssSats(), snr); }

  CNMEAParser p;
};

TEST_F(Gnss, SignalIdIsNoSatelliteAndEachTalkerNumbersItsOwn) {
  // 4n + 4 fields: the last is a signal ID, for n = 1 to 4; 4n + 3: none.
  Send({"GPGSV,1,1,01,03,10,100,30,1", "GLGSV,1,1,02,65,10,010,20,66,,,,3",
        "GAGSV,1,1,03,04,10,010,20,05,10,010,20,06,10,010,20,7",
        "GBGSV,1,1,04,01,1,1,1,02,1,1,1,03,1,1,1,04,1,1,1,B",
        "GQGSV,1,1,03,02,10,010,20,03,10,010,20,04,10,010,20"});
  EXPECT_EQ(Listed(true),
            "G3:30 R1:20 R2:-1 E4:20 E5:20 E6:20 C1:1 C2:1 C3:1 C4:1 J2:20 J3:20 J4:20 ");
  EXPECT_EQ(p.GnssSats()[2].Azimuth, -1);
  // The classic table keeps showing the GP sentences as the default mode does.
  EXPECT_EQ(p.GsvSat[0].Prn, 3);
}

TEST_F(Gnss, WithoutATimeThreeSecondsOfSentencesMakeASequenceStale) {
  // 3 s of data: 2880 bytes, counted as 31 for each of these sentences
  // (GLGSV's own among them).
  Send({"GLGSV,1,1,01,65,40,050,41"});
  for (int n = 1; n <= 92; ++n) {
    Send({"GPGSV,1,1,01,05,60,100,40"});
    EXPECT_EQ(Listed(), n < 92 ? "R1 G5 " : "G5 ") << n;
  }
}

TEST(GnssMode, RecordMembersFromEveryTalkerCountersInBothModes) {
  const std::vector<std::string> stream = {
      Sentence("GNRMC,081500.00,A,4717.11437,N,00833.91522,E,0.5,,081226,,,A,V"),
      Sentence("GNGGA,081500.00,4717.11437,N,00833.91522,E,1,09,0.9,510.2,M,47.6,M,,"),
      Sentence("GLGSA,A,3,65,66,,,,,,,,,,,1.5,0.9,1.2"), Sentence("GNZDA,081500.00,08,12,2026,00,00"),
      Sentence("GPGSA,A,3,05,07,,,,,,,,,,,1.5,0.9,1.2"), Sentence("GPGSV,1,1,01,05,60,100,40"),
      // Counted only with a checksum, and only for talkers of satellite systems.
      "$GNGGA,081500.00,,,,,0,00,,,M,,M,,\r", Sentence("GNVTG,,T,,M,0.5,N,0.9,K,A"),
      Sentence("INGGA,081500.00,,,,,0,00,,,M,,M,,")};
  for (const bool gnss : {false, true}) {
    SCOPED_TRACE(gnss ? "GNSS mode" : "default mode");
    CNMEAParser p;
    p.SetGnssMode(gnss);
    for (const auto& s : stream) Feed(p, s);
    EXPECT_EQ(p.GpFixSentences, 1u);
    EXPECT_EQ(p.OtherTalkerFixSentences, 3u);
    EXPECT_EQ(p.RmcSentences, gnss ? 1u : 0u);
    EXPECT_EQ(p.GgaSentences, gnss ? 2u : 0u);
    EXPECT_EQ(p.ZdaYear, gnss ? 2026 : 2000);
    EXPECT_EQ(p.GsaSentences, gnss ? 2u : 1u);
    EXPECT_EQ(p.GnssUsed(), gnss ? 1 : 0);
    p.ResetRecord();
    EXPECT_EQ(p.GpFixSentences + p.OtherTalkerFixSentences + p.GnssInView(), 0u);
  }
}

TEST_F(Gnss, GnsFillsTheGgaMembersUntilAGgaArrives) {
  Send({"GNGNS,101010.00,4717.11437,N,00833.91522,E,NARN,14,0.8,512.3,47.6,1.0,0131,V"});
  EXPECT_EQ(p.GgaQuality, 4);  // RTK fixed, the best of the systems' modes
  EXPECT_EQ(p.GgaAltitude, 512.3);
  Send({"GNGGA,101013.00,4717.11437,N,00833.91522,E,1,09,0.9,500.0,M,47.6,M,,",
        "GNGNS,101013.00,4717.11437,N,00833.91522,E,AA,14,0.8,512.3,47.6,,,V"});
  EXPECT_EQ(p.GgaSentences, 2u);
  EXPECT_EQ(p.GgaAltitude, 500.0);
}

}  // namespace
