#include "app/display/gnss_sky.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "app/display/canvas.h"
#include "app/display/signal_chart.h"
#include "app/display/sky_view.h"

namespace {

constexpr int kChartSlots = 12;
constexpr int kSbasRadius = 6;

// A 20-pixel figure centred on `c`, outlined in black.
void DrawShape(QPainter& painter, GnssSystem system, QPoint c, const QColor& fill) {
  const int r = kSkyDotRadius;
  const QColor pen(kClBlack);
  switch (system) {
    case GnssSystem::Gps:
      CanvasEllipse(painter, c.x() - r, c.y() - r, c.x() + r, c.y() + r, pen, fill);
      return;
    case GnssSystem::Sbas:
      CanvasEllipse(painter, c.x() - kSbasRadius, c.y() - kSbasRadius, c.x() + kSbasRadius, c.y() + kSbasRadius, pen,
                    fill);
      return;
    case GnssSystem::Glonass:
      CanvasRectangle(painter, c.x() - r + 1, c.y() - r + 1, c.x() + r - 1, c.y() + r - 1, pen, fill);
      return;
    default:
      break;
  }
  QPolygon shape;
  if (system == GnssSystem::Galileo) {
    shape << QPoint(c.x(), c.y() - r) << QPoint(c.x() + r, c.y()) << QPoint(c.x(), c.y() + r)
          << QPoint(c.x() - r, c.y());
  } else if (system == GnssSystem::BeiDou) {
    shape << QPoint(c.x(), c.y() - r) << QPoint(c.x() + r, c.y() + r - 3) << QPoint(c.x() - r, c.y() + r - 3);
  } else {  // QZSS, NavIC
    const int h = r / 2;
    shape << QPoint(c.x() - h, c.y() - r + 1) << QPoint(c.x() + h, c.y() - r + 1) << QPoint(c.x() + r, c.y())
          << QPoint(c.x() + h, c.y() + r - 1) << QPoint(c.x() - h, c.y() + r - 1) << QPoint(c.x() - r, c.y());
  }
  painter.setPen(pen);
  painter.setBrush(fill);
  painter.drawPolygon(shape);
}

QColor Colour(const GnssSat& sat, uint8_t fixType) { return SatColour(sat.Used ? 1 : 0, fixType); }

}  // namespace

std::vector<int> GnssDisplayOrder(const CNMEAParser& record) {
  const int n = std::min<int>(record.GnssInView, CNMEAParser::kGnssTableSize);
  std::vector<int> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const GnssSat& x = record.GnssSats[a];
    const GnssSat& y = record.GnssSats[b];
    if (x.Used != y.Used) return x.Used;
    return x.Snr > y.Snr;
  });
  return order;
}

QString GnssSatLabel(const GnssSat& sat) {
  return QChar::fromLatin1(GnssSystemLetter(sat.System)) + QString::number(sat.Id);
}

QFont GnssGridFont(const QFont& base, int width) {
  QFont font = base;
  int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
  // "C163" would be an SBAS PRN; the widest digits and letters are checked.
  for (; pixels > 6; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(QStringLiteral("S158")) <= width && metrics.horizontalAdvance(QStringLiteral("R32")) <= width &&
        metrics.horizontalAdvance(QStringLiteral("C63")) <= width) {
      break;
    }
  }
  return font;
}

void DrawGnssSkyDots(QImage& target, const CNMEAParser& record, const std::vector<int>& order) {
  if (order.empty()) return;
  QPainter painter(&target);
  QFont font = CanvasFont(true);
  font.setPixelSize(9);
  const QFontMetrics metrics(font);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const GnssSat& sat = record.GnssSats[*it];
    if (sat.Azimuth < 0 || sat.Elevation < 0) continue;
    const QPoint centre = SkyPosition(static_cast<uint16_t>(sat.Azimuth), static_cast<uint16_t>(sat.Elevation));
    const QColor fill = Colour(sat, record.GsaFixType);
    DrawShape(painter, sat.System, centre, fill);
    if (sat.System == GnssSystem::Sbas) continue;  // too small for a label
    const QString digits = QString::number(sat.Id);
    // The triangle's room is in its lower part.
    const int dy = sat.System == GnssSystem::BeiDou ? 2 : 0;
    CanvasTextOut(painter, centre.x() - metrics.horizontalAdvance(digits) / 2,
                  centre.y() - metrics.height() / 2 + dy, digits, font, QColor(kClWhite), fill);
  }
}

void DrawGnssSignalBars(QImage& chart, const CNMEAParser& record, const std::vector<int>& order) {
  const int h = chart.height();
  QPainter painter(&chart);
  const QFont font = CanvasFont();
  const int n = std::min<int>(static_cast<int>(order.size()), kChartSlots);
  for (int i = 0; i < n; ++i) {
    const GnssSat& sat = record.GnssSats[order[static_cast<size_t>(i)]];
    const uint16_t snr = static_cast<uint16_t>(std::max<int16_t>(sat.Snr, 0));
    DrawSignalBar(painter, font, i, snr, h, Colour(sat, record.GsaFixType));
  }
}

void DrawGnssModeMark(QImage& sky, const QImage& earth, bool on) {
  const QFont font = CanvasFont(true);
  const QFontMetrics metrics(font);
  const QString text = QStringLiteral("GNSS");
  const QRect corner(0, 0, metrics.horizontalAdvance(text) + 4, metrics.height() + 2);
  QPainter painter(&sky);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(corner.topLeft(), earth, corner);
  if (!on) return;
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setFont(font);
  painter.setPen(QColor(kClWhite));
  painter.drawText(QPoint(2, 1 + metrics.ascent()), text);
}
