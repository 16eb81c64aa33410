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
  std::string Listed(bool snr = false) const { return GnssListing(p, snr); }

  CNMEAParser p;
};

TEST_F(Gnss, EachTalkersCompleteCycleReplacesOnlyItsOwnEntries) {
  Send({"GPGSV,2,1,05,02,10,100,30,05,20,200,31,07,30,300,32,09,40,040,33",
        "GPGSV,2,2,05,13,50,050,34", "GLGSV,1,1,02,65,10,010,20,66,20,020,21"});
  EXPECT_EQ(Listed(), "G2 G5 G7 G9 G13 R1 R2 ");
  // GPS 5 and 13 set. The first message alone removes nothing yet.
  Send({"GPGSV,2,1,04,02,11,101,35,07,30,300,32,09,40,040,33,20,05,150,22"});
  EXPECT_EQ(Listed(), "G2 G5 G7 G9 G13 R1 R2 G20 ");
  Send({"GPGSV,2,2,04,,,,"});
  EXPECT_EQ(Listed(), "G2 G7 G9 R1 R2 G20 ");
  // A cycle that lost a message cannot tell who left: nothing is removed.
  Send({"GLGSV,2,1,02,67,30,030,22,68,40,040,23", "GLGSV,2,1,02,67,30,030,22,68,40,040,23"});
  EXPECT_EQ(Listed(), "G2 G7 G9 R1 R2 G20 R3 R4 ");
  Send({"GLGSV,2,2,02"});
  EXPECT_EQ(Listed(), "G2 G7 G9 G20 R3 R4 ");
  Send({"GLGSV,1,1,00"});
  EXPECT_EQ(Listed(true), "G2:35 G7:32 G9:33 G20:22 ");
  // The classic table keeps showing the GP sentences as the default mode does.
  EXPECT_EQ(p.GsvSat[0].Prn, 2);
  EXPECT_EQ(p.GsvSat[4].Prn, 0);
}

TEST_F(Gnss, SignalIdIsNoSatelliteAndEachSatelliteShowsItsStrongestSignal) {
  // 4n + 4 fields: the last is a signal ID, for n = 1 to 4; 4n + 3: none.
  Send({"GPGSV,1,1,01,03,10,100,30,1", "GLGSV,1,1,02,65,10,010,20,66,,,,3",
        "GAGSV,1,1,03,04,10,010,20,05,10,010,20,06,10,010,20,7",
        "GBGSV,1,1,04,01,1,1,1,02,1,1,1,03,1,1,1,04,1,1,1,B",
        "GQGSV,1,1,03,02,10,010,20,03,10,010,20,04,10,010,20"});
  EXPECT_EQ(Listed(true),
            "G3:30 R1:20 R2:-1 E4:20 E5:20 E6:20 C1:1 C2:1 C3:1 C4:1 J2:20 J3:20 J4:20 ");
  EXPECT_EQ(p.GnssSats[2].Azimuth, -1);
  // GPS 3 on L1 (signal 1) and L2 (signal 6) is one entry with the stronger
  // SNR; a cycle of one signal without it leaves the other's report standing.
  p.ResetRecord();
  const std::pair<const char*, const char*> steps[] = {
      {"GPGSV,1,1,01,03,10,100,30,1", "G3:30 "}, {"GPGSV,1,1,01,03,10,100,41,6", "G3:41 "},
      {"GPGSV,1,1,01,03,10,100,44,1", "G3:44 "}, {"GPGSV,1,1,00,1", "G3:41 "},
      {"GPGSV,1,1,00,6", ""}};
  for (const auto& [body, listed] : steps) {
    Send({body});
    EXPECT_EQ(Listed(true), listed) << body;
  }
}

TEST_F(Gnss, UsedIsTheUnionOfTheEpochsGsaSentences) {
  Send({"GNGGA,120000.00,4717.1,N,00833.9,E,1,06,0.7,500.0,M,47.6,M,,",
        "GPGSV,1,1,03,05,60,100,40,07,30,200,38,36,30,150,35",
        "GLGSV,1,1,02,65,40,050,41,66,20,250,30", "GAGSV,1,1,01,05,50,300,42,7",
        "GNGSA,A,3,05,07,36,,,,,,,,,,1.2,0.7,1.0,1", "GNGSA,A,3,65,,,,,,,,,,,,1.2,0.7,1.0,2",
        "GNGSA,A,3,05,,,,,,,,,,,,1.2,0.7,1.0,3"});
  EXPECT_EQ(Listed(), "G5* G7* S123* R1* R2 E5* ");
  // A new time: the last epoch's marks stand until the next GSA arrives.
  Send({"GNRMC,120001.00,A,4717.1,N,00833.9,E,0.0,,081226,,,A,V"});
  EXPECT_EQ(p.GnssUsed, 5);
  Send({"GNGSA,A,2,07,,,,,,,,,,,,1.2,0.7,1.0,1"});
  EXPECT_EQ(Listed(), "G5 G7* S123 R1 R2 E5 ");
  EXPECT_EQ(p.GsaFixType, 2);
  // Within one fix time every GSA adds to the set, a second one for a system
  // too. Without a system ID, the numbers name the system.
  Send({"GNGSA,A,3,66,,,,,,,,,,,,1.2,0.7,1.0,2", "GNGSA,A,1,,,,,,,,,,,,,1.2,0.7,1.0,3"});
  Send({"GNGSA,A,3,65,05,,,,,,,,,,,1.2,0.7,1.0"});
  EXPECT_EQ(Listed(), "G5* G7* S123 R1* R2* E5 ");
  // The fix type is the best of the epoch's GSA sentences.
  EXPECT_EQ(p.GsaFixType, 3);
  // An empty time is none: a second GSA for a system begins the next epoch.
  Send({"GNGGA,,4717.1,N,00833.9,E,1,06,0.7,500.0,M,47.6,M,,",
        "GNGSA,A,3,05,,,,,,,,,,,,1.2,0.7,1.0,1", "GNGSA,A,3,07,,,,,,,,,,,,1.2,0.7,1.0,1"});
  EXPECT_EQ(Listed(), "G5 G7* S123 R1 R2 E5 ");
  Send({"GNGGA,120002.00,4717.1,N,00833.9,E,1,06,0.7,500.0,M,47.6,M,,",
        "GNGSA,A,1" + std::string(16, ',') + "1"});
  EXPECT_EQ(p.GsaFixType, 1);
  EXPECT_EQ(p.GnssUsed, 0);
}

TEST_F(Gnss, SequenceSilentForTwoOfItsCyclesLeavesTheList) {
  // GSV every third fix, as SiRF and MediaTek receivers may be set to send it:
  // from its second cycle on, a sequence stays until it misses two of them.
  for (int s = 0; s < 16; ++s) {
    Send({"GNGGA,1200" + std::to_string(10 + s) + ",,,,,1,04,,,M,,M,,"});
    if (s >= 4) {
      EXPECT_EQ(Listed(), s < 13 ? "G5 R1 " : "G5 ") << s;
    }
    if (s % 3 == 0) Send({"GPGSV,1,1,01,05,60,100,40"});
    if (s % 3 == 0 && s <= 6) Send({"GLGSV,1,1,01,65,40,050,41"});
  }
  // Without a time, 3 s of data: 2880 bytes, counted as 31 for each of
  // these sentences (GLGSV's own among them).
  p.ResetRecord();
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
    EXPECT_EQ(p.GnssUsed, gnss ? 1 : 0);
    p.ResetRecord();
    EXPECT_EQ(p.GpFixSentences + p.OtherTalkerFixSentences + p.GnssInView, 0u);
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
