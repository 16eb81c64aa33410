#include <QFontMetrics>

#include <set>

#include "app/views/signal_chart.h"
#include "app/views/sky_view.h"
#include "e2e_fixture.h"
#include "app/settings/settings.h"

namespace {

constexpr GnssSystem kSystems[] = {GnssSystem::Gps, GnssSystem::Glonass, GnssSystem::Galileo, GnssSystem::BeiDou};

// Pixels of the satellite's own colour in its 20-pixel box on the sky image.
int PixelsOfSatellite(const QImage& sky, const GnssSat& sat, uint8_t fixType) {
  const QRect box = SkyDotRect(SkyPosition(static_cast<uint16_t>(sat.Azimuth), static_cast<uint16_t>(sat.Elevation)));
  const QRgb colour = SatColour(sat.Used ? 1 : 0, fixType).rgb();
  int n = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) n += sky.valid(x, y) && sky.pixel(x, y) == colour;
  return n;
}

}  // namespace

// A GN receiver in the default mode brings the offer; yes switches, and the
// window then shows the 3D fix and every system's satellites in the sky view.
TEST_F(E2eFixture, GnReceiverBringsTheOfferAndGnssModeShowsTheFixAndEverySystem) {
  SimProcess* sim = StartSim({"--gnss", "--acquire", "0", "--seed", "5"});
  ASSERT_NE(sim, nullptr);
  SetQuestionAnswer(true);
  Connect(sim->Device(), 38400);
  ASSERT_TRUE(WaitFor([] { return NMEAParser.GnssMode(); }, kFirstFixPatienceMs)) << Fields();
  EXPECT_EQ(Texts(QMessageBox::Question), QStringList{QString::fromLatin1(kGnssOfferText)});
  EXPECT_TRUE(GnssModeSetting() && Form->GnssModeAction->isChecked());
  ASSERT_TRUE(WaitFor([&] { return Form->FixEdit1->text() == QLatin1String("3D Fix") && NMEAParser.GnssInView() == 32; },
                      kPatienceMs))
      << Fields() << " in view " << NMEAParser.GnssInView();

  Form->NMEATimerTimer();
  CanvasImage* drawn = SkyBufferToDraw(TimerTicks) == SkyBuffer::Image1 ? Form->Image1 : Form->Image3;
  for (GnssSystem system : kSystems) {
    int best = 0;
    for (const GnssSat& sat : NMEAParser.GnssSats())
      if (sat.System == system) best = std::max(best, PixelsOfSatellite(drawn->Canvas(), sat, NMEAParser.GsaFixType));
    EXPECT_GE(best, 100) << GnssSystemName(system) << " has no satellite to be seen";
  }
}

// Two signals per satellite still list every satellite once, in the list and
// in the grid, whose labels fit their cells.
TEST_F(E2eFixture, DualBandStreamGivesNoDuplicateSatellites) {
  Form->SetGnssMode(true);
  SimProcess* sim = StartSim({"--gnss", "--dual-band", "--nmea", "4.11", "--systems", "gps,glonass,galileo,beidou,qzss",
                              "--acquire", "0", "--satellites", "3"});
  ASSERT_NE(sim, nullptr);
  Connect(sim->Device(), 38400);
  ASSERT_TRUE(WaitFor([&] { return Form->FixEdit1->text() == QLatin1String("3D Fix") && NMEAParser.GnssInView() == 15; },
                      kFirstFixPatienceMs))
      << Fields() << " in view " << NMEAParser.GnssInView();
  ASSERT_TRUE(WaitForTicks(2, kPatienceMs));
  std::set<std::pair<GnssSystem, int>> seen;
  for (const GnssSat& sat : NMEAParser.GnssSats()) seen.emplace(sat.System, sat.Id);
  EXPECT_EQ(seen.size(), 15u);

  Form->NMEATimerTimer();
  QSet<QString> labels;
  const QFontMetrics metrics(Form->StringGrid1->font());
  for (int column = 1; column <= 12; ++column) {
    const QString label = Form->StringGrid1->item(0, column)->text();
    EXPECT_LE(metrics.horizontalAdvance(label), GridCellTextWidth(*Form->StringGrid1)) << label.toStdString();
    labels.insert(label);
  }
  EXPECT_EQ(labels.size(), 12);
}
