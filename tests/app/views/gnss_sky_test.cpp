#include "app/views/gnss_sky.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QRegion>

#include "app/views/canvas.h"
#include "app/views/sky_label_layout.h"
#include "app/views/sky_view.h"
#include "drawing_test_util.h"

namespace {

constexpr QRgb kNavy = 0xFF1B2E4C;

GnssSat Sat(GnssSystem system, uint16_t id, int16_t snr, bool used, int16_t azimuth) {
  return {system, id, id, snr, azimuth, 30, used};
}

}  // namespace

// Order, labels and shapes of one sky: the grid's order, its texts fitting their
// cells, and a square that reaches into the corners a disc leaves empty.
TEST(GnssSky, UsedFirstBySignalLabelledBySystemAndShapedBySystem) {
  const GnssSat sats[] = {Sat(GnssSystem::Gps, 12, 30, true, 0),      Sat(GnssSystem::Glonass, 3, 45, false, 90),
                          Sat(GnssSystem::Galileo, 5, 40, true, 180), Sat(GnssSystem::BeiDou, 37, -1, true, 270),
                          Sat(GnssSystem::Sbas, 133, 20, false, 45),  Sat(GnssSystem::Qzss, 2, 50, false, 135)};
  const SatelliteView shown = SatelliteView(sats, 3).UsedFirst();
  QStringList labels;
  for (const GnssSat& sat : shown) labels << GnssSatLabel(sat);
  EXPECT_EQ(labels.join(QLatin1Char(' ')), QStringLiteral("E5 G12 C37 J2 R3 S133"));
  QFont base(QStringLiteral("DejaVu Sans"));
  base.setPixelSize(11);
  const QFont grid = GnssGridFont(base, 18);
  for (const QString& label : labels) EXPECT_LE(QFontMetrics(grid).horizontalAdvance(label), 18) << label.toStdString();

  QImage sky(182, 180, QImage::Format_RGB32);
  sky.fill(kNavy);
  DrawGnssSkyDots(sky, shown);
  // The pixel at (dx, dy) from satellite i's centre.
  const auto at = [&](int i, int dx, int dy) {
    const QPoint c = SkyPosition(static_cast<uint16_t>(sats[i].Azimuth), 30);
    return sky.pixel(c.x() + dx, c.y() + dy);
  };
  const auto corner = [&](int i) { return at(i, -8, -8); };
  const auto centreSide = [&](int i) { return at(i, -8, 0); };
  EXPECT_EQ(corner(1), QColor(kClGray).rgb()) << "GLONASS square fills its corner";
  EXPECT_EQ(corner(0), kNavy) << "GPS disc leaves it";
  EXPECT_EQ(centreSide(2), QColor(kClBlue).rgb()) << "Galileo diamond";
  EXPECT_EQ(corner(2), kNavy);
  EXPECT_EQ(centreSide(4), kNavy) << "SBAS is a small disc";
  EXPECT_NE(centreSide(5), kNavy) << "QZSS hexagon";
}

// 45 satellites at random, six of them within ten degrees of the zenith: every
// label but SBAS's lies on the chart, apart from the others and near its
// figure, and the white of the digits lies only where the layout put labels.
TEST(GnssSky, CrowdedSkyKeepsEveryLabelApartAndNearItsFigure) {
  constexpr GnssSystem kSystems[] = {GnssSystem::Gps, GnssSystem::Glonass, GnssSystem::Galileo, GnssSystem::BeiDou};
  uint32_t seed = 18;
  const auto random = [&](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int16_t>((seed >> 16) % static_cast<uint32_t>(n));
  };
  GnssSat sats[45];
  for (int k = 0; k < 45; ++k) {
    const int16_t elevation = k < 6 ? static_cast<int16_t>(80 + random(10)) : random(85);
    sats[k] = {kSystems[k % 4], static_cast<uint16_t>(10 + k), 0, static_cast<int16_t>(20 + k % 30),
               random(360), elevation, k % 3 != 0};
  }
  sats[44].System = GnssSystem::Sbas;
  // On the east horizon, where a label on the right would leave the chart.
  sats[6].Azimuth = 90;
  sats[6].Elevation = 0;

  QImage sky(182, 180, QImage::Format_RGB32);
  sky.fill(kNavy);
  const SatelliteView shown = SatelliteView(sats, 3).UsedFirst();
  const std::vector<GnssSkyItem> items = GnssSkyLayout(shown, sky.rect());
  ASSERT_EQ(items.size(), 45u);
  DrawGnssSkyDots(sky, shown);
  QRegion labels;
  for (size_t a = 0; a < items.size(); ++a) {
    const GnssSat& sat = shown[items[a].sat];
    const QRect label = items[a].label;
    const std::string name = GnssSatLabel(sat).toStdString();
    ASSERT_EQ(label.isEmpty(), sat.System == GnssSystem::Sbas) << name;
    if (label.isEmpty()) continue;
    EXPECT_TRUE(sky.rect().contains(label)) << name;
    for (size_t b = a + 1; b < items.size(); ++b)
      EXPECT_FALSE(label.adjusted(-1, -1, 1, 1).intersects(items[b].label)) << name << " touches another label";
    const QRect figure = SkyFigureBox(items[a].centre, items[a].radius);
    EXPECT_TRUE(figure.adjusted(-30, -30, 30, 30).intersects(label)) << name << " is far from its figure";
    EXPECT_GT(CountPixels(sky, label, kClWhite), 8) << name << " is not drawn where laid out";
    labels += label;
  }
  int stray = 0;
  for (int y = 0; y < sky.height(); ++y)
    for (int x = 0; x < sky.width(); ++x) stray += sky.pixel(x, y) == kClWhite && !labels.contains(QPoint(x, y));
  EXPECT_EQ(stray, 0) << "white pixels outside every label";
}
