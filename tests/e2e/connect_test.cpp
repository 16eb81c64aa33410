#include <QElapsedTimer>

#include <cmath>
#include <cstdio>

#include "e2e_fixture.h"
#include "nmea_text.h"

namespace {

bool Near(const std::optional<double>& shown, double expected) {
  return shown && std::fabs(*shown - expected) < 1e-5;
}

}  // namespace

TEST_F(E2eFixture, ConnectingShowsTheReceiversPositionTimeFixAndSatellitesWithinSeconds) {
  SimProcess* sim = StartSim({"--lat", "48.8584", "--lon", "2.2945", "--alt", "35.5", "--speed", "0", "--acquire",
                              "0", "--satellites", "12", "--start-time", "2024-03-07T09:05:00", "--baud", "9600"});
  ASSERT_NE(sim, nullptr);

  QElapsedTimer clock;
  clock.start();
  Connect(sim->Device(), 9600);
  ASSERT_EQ(IsConnected, 1);
  const bool shown = WaitFor(
      [&] {
        return Form->FixEdit1->text() == QLatin1String("3D Fix") && Near(DisplayedDegrees(Form->LatitudeEdit1->text()), 48.8584) &&
               Form->GPSTimeEdit1->text().startsWith(QLatin1String("2024/3/7   9:5:"));
      },
      kFirstFixPatienceMs);
  const double seconds = clock.elapsed() / 1000.0;
  std::printf("connect to fix on display: %.2f s\n", seconds);
  RecordProperty("connect_to_fix_ms", static_cast<int>(clock.elapsed()));
  ASSERT_TRUE(shown) << "after " << seconds << " s: " << Fields() << "\nsimulator: " << sim->Stderr().toStdString();

  EXPECT_EQ(Form->LatitudeEdit1->text().left(3), QLatin1String(" N "));
  EXPECT_EQ(Form->LongitudeEdit1->text().left(3), QLatin1String(" E "));
  EXPECT_TRUE(Near(DisplayedDegrees(Form->LongitudeEdit1->text()), 2.2945)) << Fields();
  EXPECT_EQ(Form->AltitudeEdit1->text(), QLatin1String("35.5"));
  EXPECT_EQ(Form->SpeedEdit->text(), QLatin1String("0.0 KM/h"));
  const int second = Form->GPSTimeEdit1->text().section(QLatin1Char(':'), -1).toInt();
  EXPECT_LE(second, static_cast<int>(seconds) + 2) << "the receiver's clock runs from 09:05:00";

  ASSERT_GT(Form->ListBox1Lines->count(), 0U);
  EXPECT_EQ(Form->ListBox1Lines->lineBytes(0).substr(0, 3), "$GP") << "the first line is a whole sentence";

  // A refresh now, checked before any further data can arrive.
  Form->NMEATimerTimer();
  EXPECT_EQ(NMEAParser.GsvInView, 12);
  ExpectSatellitesDrawn();
}
