#include "app/views/sky_view.h"

#include <QPainter>
#include <QFontMetrics>
#include <cmath>
#include <numbers>

#include "app/views/canvas.h"
#include "app/views/signal_chart.h"

namespace {

// A disc outlined in black with its label centred on it.
void DrawLabelledDot(QPainter& painter, QPoint centre, uint16_t label, const QFont& font, const QColor& text,
                     const QColor& fill) {
  const QRect disc = SkyDotRect(centre);
  CanvasEllipse(painter, disc.left(), disc.top(), disc.right() + 1, disc.bottom() + 1, QColor(kClBlack), fill);
  const QString digits = QString::number(label);
  const QFontMetrics metrics(font);
  CanvasTextOut(painter, centre.x() - metrics.horizontalAdvance(digits) / 2, centre.y() - metrics.height() / 2,
                digits, font, text, fill);
}

}  // namespace

QPoint SkyPosition(uint16_t azimuth, uint16_t elevation) {
  const double radius = kSkyHorizonRadius * (90 - static_cast<int32_t>(elevation)) / 90.0;
  const double angle = azimuth * (std::numbers::pi / 180);
  return QPoint(static_cast<int>(std::lround(kSkyCentre.x() + radius * std::sin(angle))),
                static_cast<int>(std::lround(kSkyCentre.y() - radius * std::cos(angle))));
}

QRect SkyDotRect(QPoint centre) {
  return QRect(centre.x() - kSkyDotRadius, centre.y() - kSkyDotRadius, 2 * kSkyDotRadius, 2 * kSkyDotRadius);
}

SkyBuffer SkyBufferToDraw(int32_t timerTicks) {
  return timerTicks % 2 != 0 ? SkyBuffer::Image1 : SkyBuffer::Image3;
}

void DrawSkyBackground(QImage& target, const QImage& earth) {
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, earth);
}

void DrawSkyDots(QImage& target, const SatelliteView& sats) {
  if (sats.Count() == 0) {
    return;
  }
  QPainter painter(&target);
  const QFont font = CanvasFont(true);
  for (const GnssSat& sat : sats) {
    if (sat.Nmea == 0) continue;
    const QColor colour = SatColour(sat.Used ? 1 : 0, sats.FixType());
    DrawLabelledDot(painter, SkyPosition(static_cast<uint16_t>(sat.Azimuth), static_cast<uint16_t>(sat.Elevation)),
                    sat.Nmea, font, QColor(kClWhite), colour);
  }
}

void DrawSkyView(QImage& target, const QImage& earth, const CNMEAParser& record) {
  DrawSkyBackground(target, earth);
  DrawSkyDots(target, SatelliteView(record));
}

void DrawTestPattern(QImage& target, const CNMEAParser& record, const QColor& textColour, bool bold) {
  const int w = target.width();
  const int h = target.height();
  QPainter painter(&target);
  const QColor white(kClWhite);
  CanvasFillRect(painter, 0, 0, w, h, white);
  CanvasEllipse(painter, 0, 0, w, h, QColor(kClBlack), white);
  CanvasEllipse(painter, 30, 30, w - 30, h - 30, QColor(kClBlue), white);
  CanvasEllipse(painter, 60, 60, w - 60, h - 60, QColor(kClRed), white);
  const SatEntry& sat = record.GsvSat[0];
  DrawLabelledDot(painter, SkyPosition(sat.Azimuth, sat.Elevation), sat.Prn, CanvasFont(bold), textColour,
                  QColor(kClRed));
}
