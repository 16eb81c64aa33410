#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "display_fixture.h"

namespace {

const QString kDataDir = QStringLiteral(QV_TEST_DATA_DIR);
const QString kRecording3D = kDataDir + QStringLiteral("/replay_3d_fix.txt");

class ReplayThroughDecoder : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    ShowForm();
    NMEAParser = CNMEAParser();
  }

  // Opens the file and plays it to its end, one tick at a time.
  void PlayToEnd(const QString& path) {
    Open(path);
    ASSERT_GT(Form->ListBox2Lines->count(), 0u) << path.toStdString();
    Form->ParserButtonClick();
    for (int guard = 0; Form->ParserTimer->isActive() && guard < 1000000; ++guard) Form->ParserTimerTimer();
    ASSERT_EQ(Form->ParserButton->text(), "Finish");
  }
};

// Compares NMEAParser's record, member by member, with the decode tool's JSON.
class RecordComparer {
 public:
  explicit RecordComparer(const QJsonObject& json) : Json(json) {}

  void Number(const char* key, double value) {
    ASSERT_TRUE(Json.contains(key)) << key;
    EXPECT_EQ(Json[key].toDouble(), value) << key;
  }
  void Char(const char* key, char value) {
    EXPECT_EQ(Json[key].toString(), QString(QChar(static_cast<uchar>(value)))) << key;
  }
  void Text(const char* key, const char* value, size_t size) {
    EXPECT_EQ(Json[key].toString(), QString::fromLatin1(value, static_cast<qsizetype>(strnlen(value, size))))
        << key;
  }

  const QJsonObject& Json;
};

[[maybe_unused]] void CompareRecord(const CNMEAParser& p, const QJsonObject& json) {
  RecordComparer c(json);
#define QV_NUMBER(m) c.Number(#m, static_cast<double>(p.m))
  QV_NUMBER(SentenceTotal);
  QV_NUMBER(GgaUtcHour);
  QV_NUMBER(GgaUtcMinute);
  QV_NUMBER(GgaUtcSecond);
  QV_NUMBER(GgaLat);
  QV_NUMBER(GgaLon);
  QV_NUMBER(GgaQuality);
  QV_NUMBER(GgaSatsUsed);
  QV_NUMBER(GgaHdop);
  QV_NUMBER(GgaAltitude);
  QV_NUMBER(GgaSentences);
  QV_NUMBER(GgaPrevTimeSec);
  QV_NUMBER(GgaPrevAltitude);
  QV_NUMBER(GgaClimbRate);
  c.Char("GsaSelection", p.GsaSelection);
  QV_NUMBER(GsaFixType);
  QV_NUMBER(GsaPdop);
  QV_NUMBER(GsaHdop);
  QV_NUMBER(GsaVdop);
  QV_NUMBER(GsaSentences);
  QV_NUMBER(GsvInView);
  QV_NUMBER(GsvSentences);
  c.Char("RmbStatus", p.RmbStatus);
  QV_NUMBER(RmbXte);
  c.Char("RmbSteer", p.RmbSteer);
  c.Text("RmbFromId", p.RmbFromId, sizeof p.RmbFromId);
  c.Text("RmbToId", p.RmbToId, sizeof p.RmbToId);
  QV_NUMBER(RmbToLat);
  QV_NUMBER(RmbToLon);
  QV_NUMBER(RmbRange);
  QV_NUMBER(RmbBearing);
  QV_NUMBER(RmbClosing);
  c.Char("RmbArrival", p.RmbArrival);
  QV_NUMBER(RmbSentences);
  QV_NUMBER(RmcUtcHour);
  QV_NUMBER(RmcUtcMinute);
  QV_NUMBER(RmcUtcSecond);
  c.Char("RmcStatus", p.RmcStatus);
  QV_NUMBER(RmcLat);
  QV_NUMBER(RmcLon);
  QV_NUMBER(RmcSpeedKnots);
  QV_NUMBER(RmcTrack);
  QV_NUMBER(RmcDay);
  QV_NUMBER(RmcMonth);
  QV_NUMBER(RmcYear);
  QV_NUMBER(RmcVariation);
  QV_NUMBER(RmcSentences);
  QV_NUMBER(ZdaUtcHour);
  QV_NUMBER(ZdaUtcMinute);
  QV_NUMBER(ZdaUtcSecond);
  QV_NUMBER(ZdaDay);
  QV_NUMBER(ZdaMonth);
  QV_NUMBER(ZdaYear);
  QV_NUMBER(ZdaZoneHours);
  QV_NUMBER(ZdaZoneMinutes);
  QV_NUMBER(ZdaSentences);
#undef QV_NUMBER
  const QJsonArray active = json["GsaActivePrn"].toArray();
  const QJsonArray sats = json["GsvSat"].toArray();
  ASSERT_EQ(active.size(), CNMEAParser::kSatTableSize);
  ASSERT_EQ(sats.size(), CNMEAParser::kSatTableSize);
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(active[i].toInt(), p.GsaActivePrn[i]);
    const QJsonObject sat = sats[i].toObject();
    const SatEntry& e = p.GsvSat[i];
    EXPECT_EQ(sat["Prn"].toInt(), e.Prn);
    EXPECT_EQ(sat["Snr"].toInt(), e.Snr);
    EXPECT_EQ(sat["InSolution"].toInt(), e.InSolution);
    EXPECT_EQ(sat["Azimuth"].toInt(), e.Azimuth);
    EXPECT_EQ(sat["Elevation"].toInt(), e.Elevation);
  }
}

[[maybe_unused]] QStringList Recordings() {
  QStringList paths{kRecording3D};
  for (const QString& name : QDir(kDataDir).entryList({QStringLiteral("*.nmea")}, QDir::Files, QDir::Name)) {
    paths << kDataDir + QLatin1Char('/') + name;
  }
  return paths;
}

TEST_F(ReplayThroughDecoder, RecordingPlayedToItsEndLeavesTheDecodeToolsRecord) {
  for (const QString& path : Recordings()) {
    SCOPED_TRACE(path.toStdString());
    NMEAParser = CNMEAParser();
    PlayToEnd(path);
    QProcess tool;
    tool.start(QStringLiteral(QV_DECODE_TOOL), {path});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(tool.readAllStandardOutput(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    CompareRecord(NMEAParser, json.object());
  }
}

TEST_F(ReplayThroughDecoder, LinesAreFedWithoutATerminator) {
  // A sentence without a checksum completes only at a carriage return; fed as
  // stored, it is dropped when the next "$" arrives.
  PlayToEnd(WriteFile("plain.txt",
                      "$GPTXT,01,01,02,no checksum\r\n"
                      "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                      "\r\n"));
  EXPECT_EQ(NMEAParser.SentenceTotal, 1u);
  EXPECT_EQ(NMEAParser.GgaSentences, 1u);
  EXPECT_NEAR(NMEAParser.GgaLat, 48.1173, 1e-9);
}

TEST_F(ReplayThroughDecoder, SentencesAfterZeroBytesStillDecode) {
  static const char kBytes[] =
      "\0\0\0\r\n"
      "\0$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
      "$GPRMC,031428.00,A,2447.2236,N,12059.8236,E,2.7,45.0,080327,,,A*68\r\n";
  PlayToEnd(WriteFile("zeros.txt", std::string(kBytes, sizeof kBytes - 1)));
  EXPECT_EQ(NMEAParser.GgaSentences, 1u);
  EXPECT_EQ(NMEAParser.RmcSentences, 1u);
  EXPECT_EQ(NMEAParser.RmcYear, 2027);
}

TEST_F(ReplayThroughDecoder, SentenceCountWrapsAndTheActivityBarFollows) {
  NMEAParser.SentenceTotal = 4294967294u;
  PlayToEnd(WriteFile("two.txt",
                      "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                      "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"));
  EXPECT_EQ(NMEAParser.SentenceTotal, 0u);
  IsReplaying = 1;
  Form->NMEATimerTimer();
  EXPECT_EQ(Form->ProgressBar1->value(), 0);
}

TEST_F(ReplayThroughDecoder, Recording3DFixShowsOnTheDisplay) {
  PlayToEnd(kRecording3D);
  IsReplaying = 1;  // the refresh of the last playing second
  TimerTicks = 0;
  Form->NMEATimerTimer();
  EXPECT_EQ(Form->FixEdit1->text(), "3D Fix");
  EXPECT_EQ(Form->LatitudeEdit1->text(), " N 24.787060");
  EXPECT_EQ(Form->LongitudeEdit1->text(), " E 120.997060");
  EXPECT_EQ(Form->AltitudeEdit1->text(), "62.6");
  EXPECT_EQ(Form->GPSTimeEdit1->text(), "2027/3/8   3:14:28");
  EXPECT_EQ(Form->SpeedEdit->text(), "5.0 KM/h");
  EXPECT_EQ(Form->ProgressBar1->value(), 84);
  const char* prns[] = {"2", "5", "7", "9", "13", "16", "20", "23", "26", "29", "30", "31"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Form->StringGrid1->item(0, i + 1)->text(), prns[i]) << i;
  // PRN 2 (Snr 47, used) is a blue bar; PRN 13 (Snr 22, not used) a grey one.
  EXPECT_EQ(Form->Image2->Canvas().pixel(38, 153 - 2 * 47 - 15), 0xFF0000FFu);
  EXPECT_EQ(Form->Image2->Canvas().pixel(26 * 4 + 38, 153 - 2 * 22 - 15), 0xFF808080u);
  EXPECT_EQ(Form->ListBox1Lines->count(), 87u);
}

}  // namespace
