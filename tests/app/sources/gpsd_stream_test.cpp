#include "app/sources/gpsd_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/sources/gpsd_hint.h"

namespace {

struct Split {
  std::string nmea;
  std::vector<std::string> json;
};

Split SplitStream(const std::string& input, size_t piece) {
  Split out;
  GpsdStream stream([&](std::string_view s) { out.nmea += s; }, [&](std::string_view s) { out.json.emplace_back(s); });
  for (size_t at = 0; at < input.size(); at += piece) stream.Feed(input.data() + at, std::min(piece, input.size() - at));
  return out;
}

}  // namespace

TEST(GpsdStream, NmeaGoesOnWithItsLineEndsAndJsonLinesAreTakenOutWholeInAnyChunking) {
  const std::string input =
      "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n$GPGGA,1*00\r\n{\"class\":\"DEVICES\"}\n$GPRMC,2*00\r\n";
  for (size_t piece : {size_t{1}, size_t{7}, input.size()}) {
    SCOPED_TRACE(piece);
    const Split out = SplitStream(input, piece);
    EXPECT_EQ(out.nmea, "$GPGGA,1*00\r\n$GPRMC,2*00\r\n");
    EXPECT_EQ(out.json, (std::vector<std::string>{"{\"class\":\"VERSION\",\"release\":\"3.22\"}", "{\"class\":\"DEVICES\"}"}));
  }
}

TEST(GpsdStream, OverlongLinesKeepMemoryBounded) {
  // A JSON line past the limit is dropped up to its end; other bytes go on.
  const std::string hugeJson = "{" + std::string(3 * GpsdStream::kMaxLine, 'j') + "}\n";
  const std::string noise(3 * GpsdStream::kMaxLine + 5, 'x');
  const Split out = SplitStream(hugeJson + "$GPGSA*00\r\n" + noise, 1000);
  EXPECT_TRUE(out.json.empty());
  EXPECT_EQ(out.nmea, "$GPGSA*00\r\n" + noise.substr(0, 3 * GpsdStream::kMaxLine));
}

TEST(GpsdHint, AddedOnlyWhenGpsdHoldsThePort) {
  const auto yes = [] { return true; };
  const auto no = [] { return false; };
  const QString named = QStringLiteral("Error opening serial port\n/dev/ttyUSB0: in use by gpsd (pid 42)");
  const QString unnamed = QStringLiteral("Error opening serial port\n/dev/ttyUSB0: in use by another program (Device or resource busy)");
  const QString other = QStringLiteral("Error opening serial port\n/dev/ttyUSB0: in use by minicom (pid 7)");
  const QString hint = QLatin1Char('\n') + QLatin1String(kGpsdHoldsReceiver);
  EXPECT_EQ(WithGpsdHint(named, no), named + hint);
  EXPECT_EQ(WithGpsdHint(unnamed, yes), unnamed + hint);
  EXPECT_EQ(WithGpsdHint(unnamed, no), unnamed);
  EXPECT_EQ(WithGpsdHint(other, yes), other);
}
