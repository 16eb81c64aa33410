#include <gtest/gtest.h>

#include "sentence.h"

namespace {

TEST(Gsa, DecodesModeFixPrnsAndDops) {
  CNMEAParser p;
  Feed(p, Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
  EXPECT_EQ(p.GsaSelection, 'A');
  EXPECT_EQ(p.GsaFixType, 3);
  const uint16_t expected[12] = {4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0};
  for (int s = 0; s < 12; ++s) EXPECT_EQ(p.GsaActivePrn[s], expected[s]) << "slot " << s;
  EXPECT_EQ(p.GsaPdop, 2.5);
  EXPECT_EQ(p.GsaHdop, 1.3);
  EXPECT_EQ(p.GsaVdop, 2.1);
  EXPECT_EQ(p.GsaSentences, 1u);
}

TEST(Gsa, EmptyFieldsClearPrnsAndDopsButKeepModeAndFix) {
  CNMEAParser p;
  Feed(p, Sentence("GPGSA,A,3,04,05,06,07,08,09,10,11,12,13,14,15,2.5,1.3,2.1"));
  Feed(p, Sentence("GPGSA,,,,,,,,,,,,,,,,,"));
  EXPECT_EQ(p.GsaSelection, 'A');
  EXPECT_EQ(p.GsaFixType, 3);
  for (int s = 0; s < 12; ++s) EXPECT_EQ(p.GsaActivePrn[s], 0) << "slot " << s;
  EXPECT_EQ(p.GsaPdop, 0.0);
  EXPECT_EQ(p.GsaVdop, 0.0);
}

TEST(Gsa, ThreeDigitPrnIsStoredWhole) {
  CNMEAParser p;
  Feed(p, Sentence("GPGSA,A,3,120,05,,,,,,,,,,,2.5,1.3,2.1"));
  EXPECT_EQ(p.GsaActivePrn[0], 120);
  EXPECT_TRUE(p.IsPrnInSolution(120));
  EXPECT_FALSE(p.IsPrnInSolution(12));
  Feed(p, Sentence("GPGSV,1,1,02,120,30,200,40,12,45,100,38"));
  EXPECT_EQ(p.GsvSat[0].Prn, 120);
  EXPECT_EQ(p.GsvSat[0].InSolution, 1);
  EXPECT_EQ(p.GsvSat[1].Prn, 12);
  EXPECT_EQ(p.GsvSat[1].InSolution, 0);
}

TEST(Gsa, PrnZeroIsNeverInSolution) {
  CNMEAParser p;
  Feed(p, Sentence("GPGSA,A,3,,05,,,,,,,,,,,2.5,1.3,2.1"));
  EXPECT_FALSE(p.IsPrnInSolution(0));
  EXPECT_TRUE(p.IsPrnInSolution(5));
  p.GsaActivePrn[20] = 77;  // slots past 11 are never looked at
  EXPECT_FALSE(p.IsPrnInSolution(77));
}

std::string Gsv(int messages, int number, int inView, int firstPrn, int count) {
  std::string body = "GPGSV," + std::to_string(messages) + "," + std::to_string(number) + "," +
                     std::to_string(inView);
  for (int i = 0; i < count; ++i) {
    const int prn = firstPrn + i;
    body += "," + std::to_string(prn) + "," + std::to_string(10 + i) + "," +
            std::to_string(100 + prn) + "," + std::to_string(30 + i);
  }
  return Sentence(body);
}

TEST(Gsv, FillsEntriesOfItsMessageGroup) {
  CNMEAParser p;
  Feed(p, Sentence("GPGSA,A,3,02,,,,,,,,,,,,2.5,1.3,2.1"));
  Feed(p, Gsv(3, 1, 11, 1, 4) + Gsv(3, 2, 11, 5, 4) + Gsv(3, 3, 11, 9, 3));
  EXPECT_EQ(p.GsvInView, 11);
  EXPECT_EQ(p.GsvSentences, 3u);
  for (int e = 0; e < 11; ++e) {
    EXPECT_EQ(p.GsvSat[e].Prn, e + 1) << e;
    EXPECT_EQ(p.GsvSat[e].Elevation, 10 + e % 4) << e;
    EXPECT_EQ(p.GsvSat[e].Azimuth, 101 + e) << e;
    EXPECT_EQ(p.GsvSat[e].Snr, 30 + e % 4) << e;
    EXPECT_EQ(p.GsvSat[e].InSolution, e + 1 == 2 ? 1 : 0) << e;
  }
  EXPECT_EQ(p.GsvSat[11].Prn, 0);
  EXPECT_EQ(p.GsvSat[11].Azimuth, 0);
}

TEST(Gsv, ShorterCycleKeepsOldEntries) {
  CNMEAParser p;
  Feed(p, Gsv(3, 1, 11, 1, 4) + Gsv(3, 2, 11, 5, 4) + Gsv(3, 3, 11, 9, 3));
  Feed(p, Gsv(2, 1, 8, 21, 4) + Gsv(2, 2, 8, 25, 4));
  EXPECT_EQ(p.GsvInView, 8);
  EXPECT_EQ(p.GsvSat[0].Prn, 21);
  EXPECT_EQ(p.GsvSat[7].Prn, 28);
  EXPECT_EQ(p.GsvSat[8].Prn, 9);
  EXPECT_EQ(p.GsvSat[10].Prn, 11);
  EXPECT_EQ(p.GsvSat[11].Prn, 0);
}

TEST(Gsv, BeforeAnyGsaNothingIsInSolution) {
  CNMEAParser p;
  Feed(p, Gsv(1, 1, 4, 1, 4));
  for (int e = 0; e < 4; ++e) EXPECT_EQ(p.GsvSat[e].InSolution, 0);
}

TEST(Gsv, MessageNineFillsTheLastGroup) {
  CNMEAParser p;
  Feed(p, Gsv(8, 9, 36, 33, 4));
  EXPECT_EQ(p.GsvSentences, 1u);
  EXPECT_EQ(p.GsvSat[32].Prn, 33);
  EXPECT_EQ(p.GsvSat[35].Prn, 36);
}

struct RejectCase {
  const char* what;
  const char* body;
};

class GsvRejected : public testing::TestWithParam<RejectCase> {};

TEST_P(GsvRejected, ChangesNothingButIsCounted) {
  CNMEAParser p;
  Feed(p, Gsv(1, 1, 4, 1, 4));
  Feed(p, Sentence(GetParam().body));
  EXPECT_EQ(p.SentenceTotal, 2u);
  EXPECT_EQ(p.GsvSentences, 1u);
  EXPECT_EQ(p.GsvInView, 4);
  for (int e = 0; e < 36; ++e) {
    EXPECT_EQ(p.GsvSat[e].Prn, e < 4 ? e + 1 : 0) << e;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Gsv, GsvRejected,
    testing::Values(RejectCase{"no message count", "GPGSV,,1,30,07,10,100,40"},
                    RejectCase{"nine messages", "GPGSV,9,1,30,07,10,100,40"},
                    RejectCase{"zero messages", "GPGSV,0,1,30,07,10,100,40"},
                    RejectCase{"negative messages", "GPGSV,-1,1,30,07,10,100,40"},
                    RejectCase{"huge message count", "GPGSV,4294967297,1,30,07,10,100,40"},
                    RejectCase{"message number ten", "GPGSV,3,10,30,07,10,100,40"},
                    RejectCase{"negative message number", "GPGSV,3,-1,30,07,10,100,40"},
                    RejectCase{"missing message number", "GPGSV,3,,30,07,10,100,40"},
                    RejectCase{"message number zero", "GPGSV,3,0,30,07,10,100,40"},
                    RejectCase{"message number not a number", "GPGSV,3,x,30,07,10,100,40"}));

TEST(Gsv, InViewMayExceedTheTable) {
  CNMEAParser p;
  Feed(p, Sentence("GPGSV,8,1,50,01,10,100,40"));
  EXPECT_EQ(p.GsvInView, 50);
}

}  // namespace
