#include "nmea_text.h"

#include <QLocale>

namespace {

// "ddmm.mmmm" (or "dddmm.mmmm") and its hemisphere letter as signed degrees.
double NmeaDegrees(const QByteArray& field, const QByteArray& hemisphere) {
  const double raw = field.toDouble();
  const int whole = static_cast<int>(raw / 100);
  const double degrees = whole + (raw - whole * 100.0) / 60.0;
  return hemisphere == "S" || hemisphere == "W" ? -degrees : degrees;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::vector<GgaSeen> GgaSentences(const QByteArray& stream) {
  std::vector<GgaSeen> found;
  for (qsizetype at = stream.indexOf("$GPGGA,"); at >= 0; at = stream.indexOf("$GPGGA,", at + 1)) {
    const qsizetype star = stream.indexOf('*', at);
    if (star < 0 || star + 2 >= stream.size()) break;
    GgaSeen gga;
    unsigned sum = 0;
    for (qsizetype i = at + 1; i < star; ++i) sum ^= static_cast<unsigned char>(stream[i]);
    const int high = HexDigit(stream[star + 1]);
    const int low = HexDigit(stream[star + 2]);
    gga.ChecksumValid = high >= 0 && low >= 0 && static_cast<unsigned>(high * 16 + low) == sum;
    gga.Clean = at == 0 || (at >= 2 && stream.mid(at - 2, 2) == "\r\n");
    const QList<QByteArray> fields = stream.mid(at, star - at).split(',');
    if (fields.size() > 5) {
      gga.Lat = NmeaDegrees(fields[2], fields[3]);
      gga.Lon = NmeaDegrees(fields[4], fields[5]);
    }
    found.push_back(gga);
  }
  return found;
}

QList<QByteArray> LinesCutAtCarriageReturns(const QByteArray& stream) {
  QList<QByteArray> lines = stream.split('\r');
  lines.removeLast();
  lines.removeAll("\n");
  for (QByteArray& line : lines) {
    if (line.startsWith('\n')) line.remove(0, 1);
  }
  return lines;
}

QByteArray ExpectedLog(const QByteArray& stream) {
  QByteArray log;
  for (const QByteArray& line : LinesCutAtCarriageReturns(stream)) log += line + "\r\n";
  return log;
}

std::optional<double> DisplayedDegrees(const QString& text) {
  if (text.size() < 4 || text[0] != QLatin1Char(' ') || text[2] != QLatin1Char(' ')) return std::nullopt;
  const QChar hemisphere = text[1];
  bool ok = false;
  double value = QLocale().toDouble(text.mid(3), &ok);
  if (!ok) value = text.mid(3).toDouble(&ok);
  if (!ok) return std::nullopt;
  if (hemisphere == QLatin1Char('S') || hemisphere == QLatin1Char('W')) return -value;
  if (hemisphere == QLatin1Char('N') || hemisphere == QLatin1Char('E')) return value;
  return std::nullopt;
}
