#include <gtest/gtest.h>

#include "sentence.h"

namespace {

TEST(Rmb, DecodesEveryField) {
  CNMEAParser p;
  Feed(p, Sentence("GPRMB,A,0.66,L,003,004,4917.24,S,12309.57,W,001.3,052.5,000.5,A"));
  EXPECT_EQ(p.RmbStatus, 'A');
  EXPECT_EQ(p.RmbXte, 0.66);
  EXPECT_EQ(p.RmbSteer, 'L');
  EXPECT_STREQ(p.RmbFromId, "003");
  EXPECT_STREQ(p.RmbToId, "004");
  EXPECT_NEAR(p.RmbToLat, -49.287333333333, 1e-9);
  EXPECT_NEAR(p.RmbToLon, -123.1595, 1e-9);
  EXPECT_EQ(p.RmbRange, 1.3);
  EXPECT_EQ(p.RmbBearing, 52.5);
  EXPECT_EQ(p.RmbClosing, 0.5);
  EXPECT_EQ(p.RmbArrival, 'A');
  EXPECT_EQ(p.RmbSentences, 1u);
}

TEST(Rmb, EmptyFieldsGiveDefaultsExceptDestination) {
  CNMEAParser p;
  Feed(p, Sentence("GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,E,001.3,052.5,000.5,A"));
  Feed(p, Sentence("GPRMB,,,,,,,,,,,,,"));
  EXPECT_EQ(p.RmbStatus, 'V');
  EXPECT_EQ(p.RmbXte, 0.0);
  EXPECT_EQ(p.RmbSteer, '?');
  EXPECT_STREQ(p.RmbFromId, "");
  EXPECT_STREQ(p.RmbToId, "");
  EXPECT_NEAR(p.RmbToLat, 49.287333333333, 1e-9);
  EXPECT_NEAR(p.RmbToLon, 123.1595, 1e-9);
  EXPECT_EQ(p.RmbRange, 0.0);
  EXPECT_EQ(p.RmbBearing, 0.0);
  EXPECT_EQ(p.RmbClosing, 0.0);
  EXPECT_EQ(p.RmbArrival, 'V');
}

TEST(Rmb, LongWaypointIdKeepsFirst24Characters) {
  CNMEAParser p;
  const std::string id30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  Feed(p, Sentence("GPRMB,A,0.1,R," + id30 + "," + id30 + ",,,,,,,,V"));
  EXPECT_STREQ(p.RmbFromId, id30.substr(0, 24).c_str());
  EXPECT_STREQ(p.RmbToId, id30.substr(0, 24).c_str());
}

TEST(Rmc, DecodesEveryField) {
  CNMEAParser p;
  Feed(p, Sentence("GPRMC,225446.33,A,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E"));
  EXPECT_EQ(p.RmcUtcHour, 22);
  EXPECT_EQ(p.RmcUtcMinute, 54);
  EXPECT_EQ(p.RmcUtcSecond, 46);
  EXPECT_EQ(p.RmcStatus, 'A');
  EXPECT_NEAR(p.RmcLat, 49.274166666667, 1e-9);
  EXPECT_NEAR(p.RmcLon, -123.18533333333, 1e-9);
  EXPECT_EQ(p.RmcSpeedKnots, 0.5);
  EXPECT_EQ(p.RmcTrack, 54.7);
  EXPECT_EQ(p.RmcDay, 19);
  EXPECT_EQ(p.RmcMonth, 11);
  EXPECT_EQ(p.RmcYear, 2094);  // two-digit years count from 2000
  EXPECT_EQ(p.RmcVariation, 20.3);
  EXPECT_EQ(p.RmcSentences, 1u);
}

TEST(Rmc, WestVariationIsNegativeAndSpeedStaysInKnots) {
  CNMEAParser p;
  Feed(p, Sentence("GPRMC,123519,A,4807.038,S,01131.000,E,022.4,084.4,311299,003.1,W"));
  EXPECT_EQ(p.RmcVariation, -3.1);
  EXPECT_EQ(p.RmcSpeedKnots, 22.4);
  EXPECT_EQ(p.RmcDay, 31);
  EXPECT_EQ(p.RmcMonth, 12);
  EXPECT_EQ(p.RmcYear, 2099);
  EXPECT_NEAR(p.RmcLat, -48.1173, 1e-12);
}

TEST(Rmc, EmptyFieldsKeepTimePositionDateAndClearTheRest) {
  CNMEAParser p;
  Feed(p, Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"));
  Feed(p, Sentence("GPRMC,,,,,,,,,,,"));
  EXPECT_EQ(p.RmcUtcHour, 12);
  EXPECT_EQ(p.RmcStatus, 'V');
  EXPECT_NEAR(p.RmcLat, 48.1173, 1e-12);
  EXPECT_NEAR(p.RmcLon, 11.516666666666667, 1e-12);
  EXPECT_EQ(p.RmcSpeedKnots, 0.0);
  EXPECT_EQ(p.RmcTrack, 0.0);
  EXPECT_EQ(p.RmcDay, 23);
  EXPECT_EQ(p.RmcMonth, 3);
  EXPECT_EQ(p.RmcYear, 2094);
  EXPECT_EQ(p.RmcVariation, 0.0);
}

TEST(Rmc, EmptyDateAfterResetIsFirstJanuary2000) {
  CNMEAParser p;
  Feed(p, Sentence("GPRMC,123519,V,,,,,,,,,"));
  EXPECT_EQ(p.RmcDay, 1);
  EXPECT_EQ(p.RmcMonth, 1);
  EXPECT_EQ(p.RmcYear, 2000);
}

TEST(Rmc, ShortDateReadsMissingCharactersAsAbsent) {
  CNMEAParser p;
  Feed(p, Sentence("GPRMC,1235,A,,,,,,,0803,,"));
  EXPECT_EQ(p.RmcUtcHour, 12);
  EXPECT_EQ(p.RmcUtcMinute, 35);
  EXPECT_EQ(p.RmcUtcSecond, 0);
  EXPECT_EQ(p.RmcDay, 8);
  EXPECT_EQ(p.RmcMonth, 3);
  EXPECT_EQ(p.RmcYear, 2000);
}

TEST(Zda, DecodesEveryField) {
  CNMEAParser p;
  Feed(p, Sentence("GPZDA,201530.00,04,07,2002,-05,30"));
  EXPECT_EQ(p.ZdaUtcHour, 20);
  EXPECT_EQ(p.ZdaUtcMinute, 15);
  EXPECT_EQ(p.ZdaUtcSecond, 30);
  EXPECT_EQ(p.ZdaDay, 4);
  EXPECT_EQ(p.ZdaMonth, 7);
  EXPECT_EQ(p.ZdaYear, 2002);
  EXPECT_EQ(p.ZdaZoneHours, -5);
  EXPECT_EQ(p.ZdaZoneMinutes, 30);
  EXPECT_EQ(p.ZdaSentences, 1u);
}

TEST(Zda, EmptyFieldsGiveDayMonthOneAndYearOne) {
  CNMEAParser p;
  Feed(p, Sentence("GPZDA,201530.00,04,07,2002,-05,30"));
  Feed(p, Sentence("GPZDA,,,,,,"));
  EXPECT_EQ(p.ZdaUtcHour, 20);
  EXPECT_EQ(p.ZdaDay, 1);
  EXPECT_EQ(p.ZdaMonth, 1);
  EXPECT_EQ(p.ZdaYear, 1);
  EXPECT_EQ(p.ZdaZoneHours, 0);
  EXPECT_EQ(p.ZdaZoneMinutes, 0);
}

TEST(Zda, ValuesAreCutToTheMemberWidth) {
  CNMEAParser p;
  Feed(p, Sentence("GPZDA,201530.00,260,07,70000,-130,200"));
  EXPECT_EQ(p.ZdaDay, 4);             // 260 mod 256
  EXPECT_EQ(p.ZdaYear, 70000 - 65536);
  EXPECT_EQ(p.ZdaZoneHours, 126);     // -130 in 8 bits
  EXPECT_EQ(p.ZdaZoneMinutes, -56);   // 200 in 8 bits
}

}  // namespace
