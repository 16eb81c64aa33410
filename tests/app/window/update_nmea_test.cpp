#include <QLocale>
#include <QPalette>

#include "display_fixture.h"

namespace {

class StatusPanel : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    ShowForm();
  }

  // One refresh tick while connected, as NMEATimer runs it.
  void Tick() {
    IsConnected = 1;
    Form->NMEATimerTimer();
  }

  QColor GridTextColour() const { return Form->StringGrid1->palette().color(QPalette::Text); }
};

// A cleared record, at start and after a reset, shows the start texts.
TEST_F(StatusPanel, ClearedRecordShowsTheStartTexts) {
  for (const bool reset : {false, true}) {
    if (reset) NMEAParser.ResetRecord();
    Tick();
    EXPECT_EQ(TimerTicks, reset ? 2 : 1);
    EXPECT_EQ(Form->LatitudeEdit1->text(), " N 0.000000");
    EXPECT_EQ(Form->LongitudeEdit1->text(), " E 0.000000");
    EXPECT_EQ(Form->AltitudeEdit1->text(), "0");
    EXPECT_EQ(Form->FixEdit1->text(), "Fix not available");
    EXPECT_EQ(Form->GPSTimeEdit1->text(), "2000/1/1   0:0:0");
    EXPECT_EQ(Form->TTFFEdit1->text(), reset ? "2 Sec" : "1 Sec");
    EXPECT_EQ(Form->SpeedEdit->text(), "0.0 KM/h");
    EXPECT_EQ(Form->StringGrid1->item(0, 0)->text(), "PN");
    EXPECT_TRUE(Form->NMEATimer->isActive());
  }
}

TEST_F(StatusPanel, PositionAltitudeAndSpeedTexts) {
  struct Case {
    double lat, lon, altitude, knots;
    const char *latText, *lonText, *altitudeText, *speedText;
  };
  const Case cases[] = {
      {0.0, -0.5, 0.0, 5.0, " N 0.000000", " W 0.500000", "0", "9.3 KM/h"},
      {-24.5, 121.0, 123.4, 0.0, " S 24.500000", " E 121.000000", "123.4", "0.0 KM/h"},
      {12.3456784, -12.3456786, 57.0, 1.0, " N 12.345678", " W 12.345679", "57", "1.9 KM/h"},
      {-12.3456786, 12.3456784, -15.25, 100.0, " S 12.345679", " E 12.345678", "-15.25", "185.2 KM/h"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.latText);
    NMEAParser.GgaLat = c.lat;
    NMEAParser.GgaLon = c.lon;
    NMEAParser.GgaAltitude = c.altitude;
    NMEAParser.RmcSpeedKnots = c.knots;
    Tick();
    EXPECT_EQ(Form->LatitudeEdit1->text(), c.latText);
    EXPECT_EQ(Form->LongitudeEdit1->text(), c.lonText);
    EXPECT_EQ(Form->AltitudeEdit1->text(), c.altitudeText);
    EXPECT_EQ(Form->SpeedEdit->text(), c.speedText);
  }
}

TEST_F(StatusPanel, CommaLocaleSeparatesDecimalsWithAComma) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  NMEAParser.GgaLat = -24.5;
  NMEAParser.GgaLon = 12.3456786;
  NMEAParser.GgaAltitude = 123.4;
  NMEAParser.RmcSpeedKnots = 5.0;
  NMEAParser.RmcYear = 2024;
  Tick();
  QLocale::setDefault(before);
  EXPECT_EQ(Form->LatitudeEdit1->text(), " S 24,500000");
  EXPECT_EQ(Form->LongitudeEdit1->text(), " E 12,345679");
  EXPECT_EQ(Form->AltitudeEdit1->text(), "123,4");
  EXPECT_EQ(Form->SpeedEdit->text(), "9,3 KM/h");
  EXPECT_EQ(Form->GPSTimeEdit1->text(), "2024/1/1   0:0:0") << "no thousands separator in the year";
}

TEST_F(StatusPanel, DatesAndTimesHaveNoLeadingZeros) {
  NMEAParser.RmcYear = 2024;
  NMEAParser.RmcMonth = 3;
  NMEAParser.RmcDay = 7;
  NMEAParser.RmcUtcHour = 9;
  NMEAParser.RmcUtcMinute = 5;
  NMEAParser.RmcUtcSecond = 0;
  Tick();
  EXPECT_EQ(Form->GPSTimeEdit1->text(), "2024/3/7   9:5:0");
  NMEAParser.RmcMonth = 12;
  NMEAParser.RmcDay = 31;
  NMEAParser.RmcUtcHour = 23;
  NMEAParser.RmcUtcMinute = 59;
  NMEAParser.RmcUtcSecond = 58;
  Tick();
  EXPECT_EQ(Form->GPSTimeEdit1->text(), "2024/12/31   23:59:58");
  // Wider than its field: the read-out shows the date, not the end of the text.
  EXPECT_EQ(Form->GPSTimeEdit1->cursorPosition(), 0);
}

TEST_F(StatusPanel, FixTypeSetsTextGridColourAndCounting) {
  const QColor grayText(0x80, 0x80, 0x80);
  struct Case {
    uint8_t fixType;
    const char* text;
    QColor grid;  // invalid: as it was before
    int counted;
  };
  const Case cases[] = {{1, "Fix not available", QColor(0xFF, 0, 0), 1},
                        {2, "2D Fix", grayText, 1},
                        {3, "3D Fix", QColor(0, 0, 0), 0},
                        {0, "Unknown", QColor(), 0},
                        {7, "Unknown", QColor(), 0}};
  for (const uint8_t before : {uint8_t{1}, uint8_t{3}}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "fix " << int{c.fixType} << " after " << int{before});
      NMEAParser.GsaFixType = before;
      Tick();
      const QColor previous = GridTextColour();
      NMEAParser.GsaFixType = c.fixType;
      const int count = TTFFCount;
      Tick();
      EXPECT_EQ(Form->FixEdit1->text(), c.text);
      EXPECT_EQ(GridTextColour(), c.grid.isValid() ? c.grid : previous);
      EXPECT_EQ(TTFFCount, count + c.counted);
      EXPECT_EQ(Form->TTFFEdit1->text(), QString::number(count + c.counted) + " Sec");
    }
  }
}

TEST_F(StatusPanel, TtffStopsAtTheFirst3DFixAndResumesWhenItIsLost) {
  TTFFCount = 0;
  for (int i = 0; i < 34; ++i) Tick();
  EXPECT_EQ(Form->TTFFEdit1->text(), "34 Sec");
  NMEAParser.GsaFixType = 3;
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_EQ(Form->TTFFEdit1->text(), "34 Sec");
  NMEAParser.GsaFixType = 2;
  Tick();
  EXPECT_EQ(Form->TTFFEdit1->text(), "35 Sec");
}

TEST_F(StatusPanel, ActivityBarShowsSentenceTotalModulo100) {
  for (const auto& [total, position] : {std::pair<uint32_t, int>{0, 0}, {99, 99}, {100, 0}, {12345, 45},
                                        {4294967295u, 95}, {4294967295u + 1u, 0}}) {
    NMEAParser.SentenceTotal = total;
    Tick();
    EXPECT_EQ(Form->ProgressBar1->value(), position) << total;
  }
}

TEST_F(StatusPanel, LogLampAlternatesWhileLoggingAndRestsOtherwise) {
  IsLogging = 1;
  Tick();  // TimerTicks 1
  EXPECT_TRUE(SameGlyph(Form->LogButton->icon(), "ID_LOGNMEA1"));
  Tick();
  EXPECT_TRUE(SameGlyph(Form->LogButton->icon(), "ID_LOGNMEA2"));
  Tick();
  EXPECT_TRUE(SameGlyph(Form->LogButton->icon(), "ID_LOGNMEA1"));
  Tick();
  IsLogging = 0;
  Tick();
  Tick();
  EXPECT_TRUE(SameGlyph(Form->LogButton->icon(), "ID_LOGNMEA2")) << "left as the last logging tick set it";
}

TEST_F(StatusPanel, RefreshRunsWhileReplayingAndNotWhenIdle) {
  IsReplaying = 1;
  NMEAParser.GgaLat = 1.5;
  Form->NMEATimerTimer();
  EXPECT_EQ(Form->LatitudeEdit1->text(), " N 1.500000");
  IsReplaying = 0;
  NMEAParser.GgaLat = 2.5;
  Form->NMEATimerTimer();
  EXPECT_EQ(Form->LatitudeEdit1->text(), " N 1.500000");
}

}  // namespace
