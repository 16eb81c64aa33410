// Draws the viewer's nine bitmaps and its globe icon into <resources folder>.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr QRgb kNavy = 0x1B2E4C;
constexpr QRgb kLavender = 0xB4AAE6;
constexpr QRgb kAxis = 0xC8D2DC;
constexpr QRgb kCompass = 0x5A8CFF;
constexpr QRgb kLabel = 0xDCDCF0;
constexpr int kCentreX = 91;
constexpr int kCentreY = 90;

void Plot(QImage& image, int x, int y, QRgb colour) {
  if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) image.setPixel(x, y, colour);
}

// Midpoint circle: every ring pixel lies within half a pixel of the radius,
// so the rings cross the axes exactly radius pixels from the centre.
void Circle(QImage& image, int cx, int cy, int r, QRgb colour) {
  int x = r;
  int y = 0;
  int err = 1 - r;
  while (x >= y) {
    for (auto [dx, dy] : {std::pair{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}}) {
      Plot(image, cx + dx, cy + dy, colour);
    }
    ++y;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
}

void Text(QPainter& p, int x, int y, const QString& text, QRgb colour, int pixelSize, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  p.setFont(font);
  p.setPen(QColor(colour));
  p.drawText(x, y, text);
}

QImage SkyChart() {
  QImage image(182, 181, QImage::Format_RGB32);
  std::mt19937 noise(1962);
  std::uniform_int_distribution<int> jitter(-2, 2);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const int d = jitter(noise);
      image.setPixel(x, y, qRgb(0x1B + d, 0x2E + d, 0x4C + d));
    }
  }
  // Letters first: the rings and axes stay whole where a letter comes near.
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    Text(p, kCentreX - 4, 10, QStringLiteral("N"), kCompass, 11, true);
    Text(p, kCentreX + 82, kCentreY + 4, QStringLiteral("E"), kCompass, 11, true);
    Text(p, kCentreX - 3, 180, QStringLiteral("S"), kCompass, 11, true);
    Text(p, 3, kCentreY + 4, QStringLiteral("W"), kCompass, 11, true);
    const QString deg = QString(QChar(0x00B0));
    Text(p, kCentreX + 54, kCentreY - 58, QStringLiteral("45") + deg, kLabel, 9, false);
    Text(p, kCentreX + 54, kCentreY + 66, QStringLiteral("135") + deg, kLabel, 9, false);
    Text(p, kCentreX - 80, kCentreY + 66, QStringLiteral("225") + deg, kLabel, 9, false);
    Text(p, kCentreX - 80, kCentreY - 58, QStringLiteral("315") + deg, kLabel, 9, false);
    // Elevation labels sit just above their rings, 20 degrees east of north.
    const double bearing = 20 * 3.14159265 / 180;
    for (auto [r, text] : {std::pair{78, "0"}, {52, "30"}, {26, "60"}}) {
      const int x = kCentreX + static_cast<int>(std::lround(r * std::sin(bearing))) + 2;
      const int y = kCentreY - static_cast<int>(std::lround(r * std::cos(bearing))) - 2;
      Text(p, x, y, QString::fromLatin1(text) + deg, kLabel, 9, false);
    }
  }
  const int reach = 80;
  for (int i = -reach; i <= reach; ++i) {
    Plot(image, kCentreX + i, kCentreY, kAxis);
    Plot(image, kCentreX, kCentreY + i, kAxis);
  }
  for (int i = -57; i <= 57; ++i) {
    Plot(image, kCentreX + i, kCentreY + i, kAxis);
    Plot(image, kCentreX + i, kCentreY - i, kAxis);
  }
  for (int r : {78, 52, 26}) Circle(image, kCentreX, kCentreY, r, kLavender);
  for (int y = 0; y < image.height(); ++y) image.setPixel(0, y, 0xFFFFFF);

  return image;
}

// Glyphs are drawn without antialiasing on black: black is the transparent
// colour, and blended edge pixels would show as a dark fringe on the button.
QImage Glyph(int size) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

// The button takes the lower-left pixel's colour as transparent, so that
// pixel stays background even where a figure (the plug's cable) reaches it.
QImage ToIndexed(QImage image) {
  image.setPixel(0, image.height() - 1, qRgb(0, 0, 0));
  return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

void Plug(QPainter& p, QPointF offset) {
  p.save();
  p.translate(offset);
  p.rotate(-45);
  p.setPen(QColor(0x10, 0x30, 0x90));
  p.setBrush(QColor(0x30, 0x70, 0xE0));
  p.drawRect(-3, -3, 5, 6);  // body
  p.setBrush(QColor(0xC0, 0xC0, 0xC8));
  p.drawRect(3, -2, 2, 1);  // pins
  p.drawRect(3, 1, 2, 1);
  p.setPen(QColor(0x20, 0x50, 0xC0));
  p.drawLine(-7, 0, -4, 0);  // cable
  p.restore();
}

void Socket(QPainter& p, QPointF offset) {
  p.save();
  p.translate(offset);
  p.rotate(-45);
  p.setPen(QColor(0x10, 0x30, 0x90));
  p.setBrush(QColor(0x50, 0x90, 0xF0));
  p.drawRect(-1, -3, 5, 6);
  p.setPen(QColor(0x20, 0x50, 0xC0));
  p.drawLine(5, 0, 8, 0);
  p.restore();
}

QImage Connect(bool joined) {
  QImage image = Glyph(16);
  QPainter p(&image);
  if (joined) {
    Plug(p, {6, 10});
    Socket(p, {9.5, 6.5});
  } else {
    Plug(p, {4.5, 11.5});
    Socket(p, {11.5, 4.5});
    p.setPen(QColor(0xFF, 0x20, 0x20));
    p.drawLine(6, 5, 7, 6);
    p.drawLine(10, 9, 11, 10);
    p.drawPoint(8, 8);
  }
  return image;
}

QImage Flame() {
  QImage image = Glyph(16);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  QPainterPath outer;
  outer.moveTo(8, 1);
  outer.cubicTo(11, 5, 14, 8, 13, 11);
  outer.cubicTo(12, 15, 4, 15, 3, 11);
  outer.cubicTo(2, 8, 6, 6, 8, 1);
  p.setBrush(QColor(0xE0, 0x20, 0x10));
  p.drawPath(outer);
  p.setBrush(QColor(0xFF, 0x8C, 0x00));
  p.drawEllipse(QRectF(5, 7, 6, 7));
  p.setBrush(QColor(0xFF, 0xE8, 0x30));
  p.drawEllipse(QRectF(6.5, 10, 3, 4));
  return image;
}

QImage Lamp(QColor rim, QColor face, QColor shine) {
  QImage image = Glyph(15);
  QPainter p(&image);
  p.setPen(rim);
  p.setBrush(face);
  p.drawEllipse(1, 1, 12, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(shine);
  p.drawEllipse(4, 3, 4, 3);
  return image;
}

QImage Folder() {
  QImage image = Glyph(16);
  QPainter p(&image);
  p.setPen(QColor(0xA0, 0x60, 0x00));
  p.setBrush(QColor(0xE8, 0xA0, 0x20));
  p.drawRect(1, 3, 5, 2);
  p.drawRect(1, 4, 11, 9);
  QPolygon flap({QPoint(3, 7), QPoint(15, 7), QPoint(12, 13), QPoint(1, 13)});
  p.setBrush(QColor(0xFF, 0xD8, 0x40));
  p.drawPolygon(flap);
  return image;
}

QImage Disc(bool play) {
  QImage image = Glyph(16);
  QPainter p(&image);
  p.setPen(QColor(0x10, 0x40, 0xC0));
  p.setBrush(Qt::white);
  p.drawEllipse(1, 1, 13, 13);
  p.drawEllipse(2, 2, 11, 11);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x10, 0x40, 0xC0));
  if (play) {
    p.drawPolygon(QPolygon({QPoint(6, 4), QPoint(11, 8), QPoint(6, 12)}));
  } else {
    p.drawRect(5, 5, 2, 6);
    p.drawRect(9, 5, 2, 6);
  }
  return image;
}

QImage Globe(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size / 256.0, size / 256.0);
  const QRectF sphere(8, 8, 240, 240);
  QRadialGradient sea(QPointF(100, 90), 170);
  sea.setColorAt(0, QColor(0x7E, 0xC8, 0xFF));
  sea.setColorAt(0.6, QColor(0x1E, 0x6C, 0xD0));
  sea.setColorAt(1, QColor(0x0A, 0x2A, 0x70));
  p.setPen(Qt::NoPen);
  p.setBrush(sea);
  p.drawEllipse(sphere);

  QPainterPath clip;
  clip.addEllipse(sphere);
  p.setClipPath(clip);
  p.setBrush(QColor(0x3C, 0xA8, 0x3C));
  QPainterPath america;
  america.moveTo(60, 40);
  america.cubicTo(110, 30, 130, 70, 110, 100);
  america.cubicTo(100, 120, 120, 140, 115, 170);
  america.cubicTo(110, 210, 90, 230, 85, 240);
  america.cubicTo(70, 200, 75, 160, 60, 140);
  america.cubicTo(30, 120, 20, 80, 60, 40);
  p.drawPath(america);
  QPainterPath africa;
  africa.moveTo(160, 60);
  africa.cubicTo(210, 50, 240, 90, 230, 120);
  africa.cubicTo(225, 160, 200, 190, 185, 215);
  africa.cubicTo(170, 180, 175, 150, 150, 130);
  africa.cubicTo(140, 100, 140, 70, 160, 60);
  p.drawPath(africa);
  p.setClipping(false);

  QRadialGradient gloss(QPointF(95, 70), 90);
  gloss.setColorAt(0, QColor(255, 255, 255, 170));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.setBrush(gloss);
  p.drawEllipse(QRectF(30, 20, 150, 110));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x08, 0x20, 0x50), 4));
  p.drawEllipse(sphere);
  return image;
}

void Put16(QByteArray& out, unsigned v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(QByteArray& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Qt writes a palette image with few colours at 4 bits per pixel; the glyphs
// are 8 bits per pixel with a full 256-colour palette, so write them here.
bool SaveIndexed8(const QImage& image, const QString& path) {
  const int w = image.width();
  const int h = image.height();
  const int stride = (w + 3) & ~3;
  const unsigned offset = 14 + 40 + 256 * 4;
  QByteArray out;
  out.append("BM");
  Put32(out, offset + static_cast<unsigned>(stride * h));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<unsigned>(w));
  Put32(out, static_cast<unsigned>(h));
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, static_cast<unsigned>(stride * h));
  Put32(out, 3780);
  Put32(out, 3780);
  Put32(out, 256);
  Put32(out, 0);
  const QList<QRgb> colours = image.colorTable();
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < colours.size() ? colours[i] : 0;
    out.append(static_cast<char>(qBlue(c)));
    out.append(static_cast<char>(qGreen(c)));
    out.append(static_cast<char>(qRed(c)));
    out.append('\0');
  }
  for (int y = h - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(image.constScanLine(y)), w);
    out.append(QByteArray(stride - w, '\0'));
  }
  QFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(out) == out.size()) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

bool Save(const QImage& image, const QString& path) {
  if (image.format() == QImage::Format_Indexed8) return SaveIndexed8(image, path);
  if (image.save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bitmaps <resources folder>\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(QStringLiteral("bitmaps")) || !out.mkpath(QStringLiteral("icons"))) return 1;
  const auto bmp = [&](const char* name) { return out.filePath(QStringLiteral("bitmaps/%1.bmp").arg(name)); };

  bool ok = Save(SkyChart().convertToFormat(QImage::Format_RGB888), bmp("ID_EARTH1"));
  ok &= Save(ToIndexed(Connect(true)), bmp("ID_CONNECT"));
  ok &= Save(ToIndexed(Connect(false)), bmp("ID_DISCONNECT"));
  ok &= Save(ToIndexed(Flame()), bmp("ID_COLDSTAT"));
  ok &= Save(ToIndexed(Lamp(QColor(0x10, 0x60, 0xA0), QColor(0x30, 0xC0, 0xF0), QColor(0xC8, 0xF0, 0xFF))),
             bmp("ID_LOGNMEA1"));
  ok &= Save(ToIndexed(Lamp(QColor(0x90, 0x10, 0x10), QColor(0xF0, 0x20, 0x20), QColor(0xFF, 0xB0, 0xB0))),
             bmp("ID_LOGNMEA2"));
  ok &= Save(ToIndexed(Folder()), bmp("ID_OPENNMEA"));
  ok &= Save(ToIndexed(Disc(true)), bmp("ID_PLAY"));
  ok &= Save(ToIndexed(Disc(false)), bmp("ID_PAUSE"));
  for (int size : {16, 24, 32, 48, 128, 256}) {
    ok &= Save(Globe(size), out.filePath(QStringLiteral("icons/quorvane-viewer-%1.png").arg(size)));
  }
  return ok ? 0 : 1;
}
