#include <gtest/gtest.h>

#include <QBuffer>
#include <QXmlStreamReader>

#include <map>
#include <string>
#include <vector>

#include "app/track/track_export.h"
#include "tests/nmea/sentence.h"

namespace {

// The GPX's points as "lat lon|ele|time|fix|sat|hdop", empty where left out.
std::vector<std::string> Points(const QByteArray& gpx, QString& name) {
  std::vector<std::string> points;
  QXmlStreamReader xml(gpx);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"name") name = xml.readElementText();
    if (xml.name() != u"trkpt") continue;
    const QXmlStreamAttributes at = xml.attributes();
    QString point = at.value(QStringLiteral("lat")).toString() + u' ' + at.value(QStringLiteral("lon")).toString();
    std::map<QString, QString> fields;
    while (xml.readNextStartElement()) fields[xml.name().toString()] = xml.readElementText();
    for (const char* key : {"ele", "time", "fix", "sat", "hdop"}) point += u'|' + fields[QString::fromLatin1(key)];
    points.push_back(point.toStdString());
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return points;
}

struct Case {
  const char* what;
  bool gnss;
  std::vector<std::string> lines;  // bodies, checksummed here; a leading '!' is sent as is
  std::vector<std::string> points;
  QString name = QStringLiteral("walk");
  QString shownName = QStringLiteral("walk");
};

std::string Gga(const char* time, const char* rest) { return std::string("GPGGA,") + time + "," + rest; }
// A GGA at one place, 48.1173 N 11.516666667 E.
std::string Here(const char* time, const char* rest) { return Gga(time, (std::string("4807.0380,N,01131.0000,E,") + rest).c_str()); }

constexpr const char* kGnRmc = "GNRMC,030000,A,4807.0380,N,01131.0000,E,0.0,0.0,020326,,,A";
constexpr const char* kGnGga = "GNGGA,030001,4807.0380,N,01131.0000,E,1,12,0.7,500.0,M,46.9,M,,";

TEST(TrackExport, RecordingsGiveTheSamplesAsPoints) {
  const std::vector<Case> cases = {
      {"no date yet: no time; then RMC's date, and midnight on the next day", false,
       {Here("235958", "1,08,0.9,545.4,M,46.9,M,,"),
        "GPRMC,235958.50,A,4807.0380,N,01131.0000,E,0.0,0.0,311226,,",
        Here("235959.50", "1,08,0.9,545.4,M,46.9,M,,"),
        Here("000000.25", "2,09,1.25,,M,,M,,")},
       {"48.1173 11.516666667|545.4|||8|0.9", "48.1173 11.516666667|545.4|2026-12-31T23:59:59.50Z||8|0.9",
        "48.1173 11.516666667||2027-01-01T00:00:00.25Z|dgps|9|1.25"}},
      {"ZDA dates; a void RMC's date does not; GSA gives 2d or 3d; quality 3 is pps", false,
       {"GPRMC,120000,V,,,,,,,010199,,", Here("120000", "1,04,,,,,,,"),
        "GPZDA,120000.00,05,03,2027,00,00", "GPGSA,A,2,01,02,03,,,,,,,,,,3.1,2.0,2.4",
        Here("120001", "1,04,,,,,,,"), "GPGSA,A,3,01,02,03,04,,,,,,,,,3.1,2.0,2.4",
        Here("120002", "3,,,,,,,,"), Here("120003", "1,,,,,,,,"),
        // Twelve hours back, still nearer on the same date than on the day before.
        Here("000004", "1,,,,,,,,")},
       {"48.1173 11.516666667||||4|", "48.1173 11.516666667||2027-03-05T12:00:01Z|2d|4|",
        "48.1173 11.516666667||2027-03-05T12:00:02Z|pps||", "48.1173 11.516666667||2027-03-05T12:00:03Z|3d||",
        "48.1173 11.516666667||2027-03-05T00:00:04Z|3d||"}},
      {"not samples: quality 0 or empty, no longitude, latitude 95; 180 E and 179.99999999999 W are -180", false,
       {Here("010000", "0,,,,,,,,"), Here("010001", ",,,,,,,,"),
        Gga("010002", "4807.0380,N,,,1,,,,,,,,"), Gga("010003", "9500.0000,N,01131.0000,E,1,,,,,,,,"),
        Gga("010004", "0000.0000,N,18000.0000,E,1,,,,,,,,"),
        Gga("bad", "0000.0000,S,17959.9999999999,W,1,,,,,,,,")},
       {"0 -180|||||", "0 -180|||||"}},
      {"odd bytes in lines and in the name stay out of the XML", false,
       {std::string("!\0\x01\x1b\xff\xfe<&>\"", 10), "!$GPGGA,\x02\x7f\xc3(,,*00",
        Here("020000", "1,,,,,,,,")},
       {"48.1173 11.516666667|||||"},
       QString::fromUtf8("tab\there\x01<&>") + QChar(0xD800) + u'x',
       QString::fromUtf8("tab\there\xef\xbf\xbd<&>\xef\xbf\xbdx")},
      {"default mode: the GN talker is not decoded", false, {kGnRmc, kGnGga}, {}},
      {"GNSS mode: the GN talker is", true, {kGnRmc, kGnGga}, {"48.1173 11.516666667|500|2026-03-02T03:00:01Z||12|0.7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QByteArray out;
    QBuffer device(&out);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    TrackExport exporter(device, TrackFormat::Gpx, c.name, c.gnss);
    for (const std::string& body : c.lines) exporter.FeedLine(body[0] == '!' ? body.substr(1) : Sentence(body));
    ASSERT_TRUE(exporter.Finish());
    QString name;
    EXPECT_EQ(Points(out, name), c.points);
    EXPECT_EQ(name, c.shownName);
    EXPECT_TRUE(out.contains("<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\" creator=\"Quorvane Viewer\">"));
  }
}

}  // namespace
