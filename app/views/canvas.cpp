#include "app/views/canvas.h"

#include <QFontMetrics>
#include <utility>

namespace {

void Normalise(int& x1, int& y1, int& x2, int& y2) {
  if (x2 < x1) {
    std::swap(x1, x2);
  }
  if (y2 < y1) {
    std::swap(y1, y2);
  }
}

}  // namespace

QFont CanvasFont(bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  font.setBold(bold);
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

void CanvasFillRect(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& brush) {
  Normalise(x1, y1, x2, y2);
  painter.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), brush);
}

void CanvasRectangle(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& pen, const QColor& brush) {
  Normalise(x1, y1, x2, y2);
  if (x2 == x1 || y2 == y1) {
    return;
  }
  const int w = x2 - x1;
  const int h = y2 - y1;
  painter.fillRect(QRect(x1, y1, w, h), brush);
  painter.fillRect(QRect(x1, y1, w, 1), pen);
  painter.fillRect(QRect(x1, y2 - 1, w, 1), pen);
  painter.fillRect(QRect(x1, y1, 1, h), pen);
  painter.fillRect(QRect(x2 - 1, y1, 1, h), pen);
}

void CanvasEllipse(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& pen, const QColor& brush) {
  Normalise(x1, y1, x2, y2);
  if (x2 == x1 || y2 == y1) {
    return;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen outline(pen);
  outline.setWidth(0);
  painter.setPen(outline);
  painter.setBrush(brush);
  // An aliased cosmetic outline of QRect(x, y, w, h) covers x..x+w, one pixel
  // past the rectangle, hence the -1.
  painter.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
  painter.restore();
}

void CanvasTextOut(QPainter& painter, int x, int y, const QString& text, const QFont& font, const QColor& colour,
                   const QColor& brush) {
  const QFontMetrics metrics(font);
  painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), brush);
  painter.save();
  painter.setFont(font);
  painter.setPen(colour);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.drawText(QPoint(x, y + metrics.ascent()), text);
  painter.restore();
}
