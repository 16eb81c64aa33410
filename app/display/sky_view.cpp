#include "app/display/sky_view.h"

#include <QPainter>
#include <cmath>

#include "app/display/canvas.h"
#include "app/display/signal_chart.h"

QPoint SkyPosition(uint16_t azimuth, uint16_t elevation) {
  const int32_t turn = static_cast<int32_t>(azimuth) - 90;
  const int32_t down = 90 - static_cast<int32_t>(elevation);
  const double angle = turn * 3.14159 * (1.0 / 180);
  const double radius = 0.7 * down;
  const double x = 77 + radius * std::cos(angle);
  const double y = 77 + radius * std::sin(angle);
  return QPoint(static_cast<int>(std::trunc(x)), static_cast<int>(std::trunc(y)));
}

QRect SkyDotRect(QPoint position) {
  return QRect(QPoint(position.x() + 4, position.y() - 10), QPoint(position.x() + 23, position.y() + 9));
}

SkyBuffer SkyBufferToDraw(int32_t timerTicks) {
  return timerTicks % 2 != 0 ? SkyBuffer::Image1 : SkyBuffer::Image3;
}

void DrawSkyBackground(QImage& target, const QImage& earth) {
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, earth);
}

void DrawSkyDots(QImage& target, const CNMEAParser& record) {
  const int n = SatellitesToDraw(record);
  if (n == 0) {
    return;
  }
  QPainter painter(&target);
  const QFont font = CanvasFont(true);
  for (int i = 0; i < n; ++i) {
    const SatEntry& sat = record.GsvSat[i];
    const QColor colour = SatColour(sat.InSolution, record.GsaFixType);
    const QPoint p = SkyPosition(sat.Azimuth, sat.Elevation);
    CanvasEllipse(painter, p.x() + 4, p.y() - 10, p.x() + 24, p.y() + 10, QColor(kClBlack), colour);
    const int labelX = sat.Prn > 9 ? p.x() + 7 : p.x() + 11;
    CanvasTextOut(painter, labelX, p.y() - 7, QString::number(sat.Prn), font, QColor(kClWhite), colour);
  }
}

void DrawSkyView(QImage& target, const QImage& earth, const CNMEAParser& record) {
  DrawSkyBackground(target, earth);
  DrawSkyDots(target, record);
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
  const QPoint p = SkyPosition(sat.Azimuth, sat.Elevation);
  CanvasEllipse(painter, p.x() - 10, p.y() - 10, p.x() + 10, p.y() + 10, QColor(kClBlack), QColor(kClRed));
  CanvasTextOut(painter, p.x() - 7, p.y() - 7, QString::number(sat.Prn), CanvasFont(bold), textColour,
                QColor(kClRed));
}
