#include "app/window/bitmaps.h"

#include <QHash>
#include <QPixmap>
#include <QString>

QImage LoadBitmap(const char* name) {
  return QImage(QStringLiteral(":/bitmaps/%1.bmp").arg(QLatin1String(name)), "BMP");
}

QIcon LoadGlyph(const char* name) {
  // The log lamp swaps glyphs every second while logging; decode each once.
  // Images, not pixmaps, are cached: they may outlive the application object.
  static QHash<QString, QImage> cache;
  const QString key = QLatin1String(name);
  if (auto it = cache.constFind(key); it != cache.constEnd()) return QIcon(QPixmap::fromImage(*it));

  QImage image = LoadBitmap(name).convertToFormat(QImage::Format_ARGB32);
  if (!image.isNull()) {
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
      }
    }
  }
  cache.insert(key, image);
  return QIcon(QPixmap::fromImage(image));
}
