#include "app/window/canvas_image.h"

#include <QPaintEvent>
#include <QPainter>

CanvasImage::CanvasImage(QWidget* parent) : QWidget(parent) {}

QImage& CanvasImage::Canvas() {
  if (Picture.isNull()) {
    Picture = QImage(size(), QImage::Format_RGB32);
    Picture.fill(Qt::white);
  }
  return Picture;
}

void CanvasImage::paintEvent(QPaintEvent* event) {
  if (Picture.isNull()) return;
  QPainter painter(this);
  painter.drawImage(event->rect(), Picture, event->rect());
}
