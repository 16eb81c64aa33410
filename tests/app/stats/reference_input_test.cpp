#include <gtest/gtest.h>

#include "app/stats/reference_input.h"

namespace {

constexpr FieldState E = FieldState::Empty, V = FieldState::Valid, I = FieldState::Invalid;

TEST(ReferenceInput, FieldsAreCheckedAsTyped) {
  const struct {
    const char *lat, *lon, *alt;
    FieldState latState, lonState, altState;
    bool point;
  } cases[] = {
      {"51.4779", "-0.0015", "46", V, V, V, true},
      {"51.4779", "-0.0015", "", V, V, E, true},  // the mean altitude then
      {"+90", "-180", "-11000", V, V, V, true},
      {"", "", "", E, E, E, false},
      {"-", "0", "", I, V, E, false},  // half typed
      {"51.", "0", "", I, V, E, false},
      {"51.4", ".5", "1e", V, V, I, false},
      {"90.0001", "0", "", I, V, E, false},
      {"0", "180.5", "", V, I, E, false},
      {"0", "0", "100001", V, V, I, false},
      {"nan", "inf", "", I, I, E, false},
      {"1,5", "0", "", I, V, E, false},  // "." is the decimal point in every locale
      {" 12.5 ", "0", " ", V, V, E, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lat) + "|" + c.lon + "|" + c.alt);
    const ReferenceInput in = CheckReference(c.lat, c.lon, c.alt);
    EXPECT_EQ(in.Lat, c.latState);
    EXPECT_EQ(in.Lon, c.lonState);
    EXPECT_EQ(in.Alt, c.altState);
    EXPECT_EQ(in.Point.has_value(), c.point);
  }
  const ReferenceInput in = CheckReference("51.4779", "-0.0015", "46");
  EXPECT_EQ(in.Point->Lat, 51.4779);
  EXPECT_EQ(in.Point->Lon, -0.0015);
  EXPECT_EQ(in.Point->Alt, 46.0);
  EXPECT_FALSE(CheckReference("1", "2", "").Point->Alt);
}

}  // namespace
