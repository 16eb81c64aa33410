#pragma once

#include <QImage>
#include <QRect>
#include <cstring>

#include "nmea/nmea_parser.h"

// An image the size of a chart, filled with a colour the drawing never uses,
// so untouched pixels stand out.
inline QImage BlankImage(int w, int h, QRgb fill = 0xFFFF00FF) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

inline int CountPixels(const QImage& image, const QRect& area, QRgb colour) {
  int n = 0;
  const QRect clipped = area.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      n += image.pixel(x, y) == colour;
    }
  }
  return n;
}

// Smallest rectangle holding every pixel of `colour` within `area` (empty when none).
inline QRect BoundsOf(const QImage& image, const QRect& area, QRgb colour) {
  QRect bounds;
  const QRect clipped = area.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      if (image.pixel(x, y) == colour) {
        bounds |= QRect(x, y, 1, 1);
      }
    }
  }
  return bounds;
}

inline void SetSatellites(CNMEAParser& record, uint16_t inView, uint8_t fixType) {
  record.GsvInView = inView;
  record.GsaFixType = fixType;
  std::memset(record.GsvSat, 0, sizeof record.GsvSat);
}
