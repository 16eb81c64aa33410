#include "app/track/track_writer.h"

#include <QFileInfo>

#include <charconv>
#include <cmath>

namespace {

// A decimal with at most `decimals` places and no trailing zeros, as
// xsd:decimal reads it (never with an exponent).
QString Decimal(double value, int decimals) {
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return QStringLiteral("0");
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  if (s.find('.') != std::string_view::npos) {
    while (s.back() == '0') s.remove_suffix(1);
    if (s.back() == '.') s.remove_suffix(1);
  }
  if (s == "-0") s = "0";
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr qsizetype kFlushSize = 1 << 16;

// Nine places keep a tenth of a millimetre, finer than any receiver reports.
constexpr int kDegreePlaces = 9;

QString Longitude(double lon) {
  // GPX takes -180 but not 180; both are the same meridian.
  if (std::round(lon * 1e9) >= 180e9) lon -= 360.0;
  return Decimal(lon, kDegreePlaces);
}

const char* FixText(TrackPoint::Fix fix) {
  switch (fix) {
    case TrackPoint::Fix::TwoD: return "2d";
    case TrackPoint::Fix::ThreeD: return "3d";
    case TrackPoint::Fix::Dgps: return "dgps";
    case TrackPoint::Fix::Pps: return "pps";
    case TrackPoint::Fix::Unknown: break;
  }
  return nullptr;
}

bool XmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

QString XmlSafeText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      out += c;
      out += text[++i];
    } else if (!c.isSurrogate() && XmlChar(c.unicode())) {
      out += c;
    } else {
      out += QChar::ReplacementCharacter;
    }
  }
  return out;
}

QString TrackName(const QString& path) { return XmlSafeText(QFileInfo(path).completeBaseName()); }

TrackWriter::TrackWriter(QIODevice& device, TrackFormat format, const QString& name)
    : device_(device), xml_(&buffer_), format_(format) {
  const QString safeName = XmlSafeText(name);
  xml_.setAutoFormatting(true);
  xml_.setAutoFormattingIndent(1);
  // A writer into text leaves the encoding out of the declaration; the bytes
  // are UTF-8, which says so.
  buffer_.reserve(kFlushSize + 4096);
  xml_.writeStartDocument();
  buffer_.replace(QStringLiteral("<?xml version=\"1.0\"?>"), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  if (format_ == TrackFormat::Gpx) {
    xml_.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml_.writeStartElement(QStringLiteral("gpx"));
    xml_.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml_.writeAttribute(QStringLiteral("creator"), QStringLiteral("Quorvane Viewer"));
    xml_.writeStartElement(QStringLiteral("trk"));
    xml_.writeTextElement(QStringLiteral("name"), safeName);
    xml_.writeStartElement(QStringLiteral("trkseg"));
  } else {
    xml_.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml_.writeStartElement(QStringLiteral("kml"));
    xml_.writeStartElement(QStringLiteral("Document"));
    xml_.writeTextElement(QStringLiteral("name"), safeName);
    xml_.writeStartElement(QStringLiteral("Placemark"));
    xml_.writeTextElement(QStringLiteral("name"), safeName);
    xml_.writeStartElement(QStringLiteral("LineString"));
    xml_.writeTextElement(QStringLiteral("tessellate"), QStringLiteral("1"));
    xml_.writeStartElement(QStringLiteral("coordinates"));
    // The tuples follow as text, one a line.
    xml_.writeCharacters(QStringLiteral("\n"));
  }
}

void TrackWriter::Add(const TrackPoint& p) {
  ++points_;
  if (buffer_.size() >= kFlushSize) Flush();
  if (format_ == TrackFormat::Kml) {
    QString tuple = Longitude(p.Lon) + u',' + Decimal(p.Lat, kDegreePlaces);
    if (p.HasEle) tuple += u',' + Decimal(p.Ele, 3);
    tuple += u'\n';
    xml_.writeCharacters(tuple);
    return;
  }
  xml_.writeStartElement(QStringLiteral("trkpt"));
  xml_.writeAttribute(QStringLiteral("lat"), Decimal(p.Lat, kDegreePlaces));
  xml_.writeAttribute(QStringLiteral("lon"), Longitude(p.Lon));
  // In the schema's order: ele, time, ..., fix, sat, hdop.
  if (p.HasEle) xml_.writeTextElement(QStringLiteral("ele"), Decimal(p.Ele, 3));
  if (p.Time[0] != '\0') xml_.writeTextElement(QStringLiteral("time"), QString::fromLatin1(p.Time));
  if (const char* fix = FixText(p.FixType)) xml_.writeTextElement(QStringLiteral("fix"), QString::fromLatin1(fix));
  if (p.Sat >= 0) xml_.writeTextElement(QStringLiteral("sat"), QString::number(p.Sat));
  if (p.HasHdop) xml_.writeTextElement(QStringLiteral("hdop"), Decimal(p.Hdop, 3));
  xml_.writeEndElement();
}

void TrackWriter::Finish() {
  xml_.writeEndDocument();
  Flush();
}

void TrackWriter::Flush() {
  const QByteArray bytes = buffer_.toUtf8();
  if (device_.write(bytes) != bytes.size()) failed_ = true;
  // Emptied but kept, so the next block needs no allocation.
  buffer_.resize(0);
}
