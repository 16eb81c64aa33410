#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>

#include <string>
#include <vector>

#include "app/views/sky_view.h"
#include "app/views/status_text.h"
#include "display_fixture.h"
#include "tests/nmea/sentence.h"

namespace {

class Replay : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    ShowForm();
  }

  // Lines "L0", "L1", ... each ended by CR LF.
  static std::string NumberedLines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "L" + std::to_string(i) + "\r\n";
    return text;
  }

  std::vector<std::string> Echoed() const {
    std::vector<std::string> lines;
    for (size_t i = 0; i < Form->ListBox1Lines->count(); ++i) lines.emplace_back(Form->ListBox1Lines->lineBytes(i));
    return lines;
  }

  std::string LastEchoed() const {
    const size_t n = Form->ListBox1Lines->count();
    return n == 0 ? std::string() : std::string(Form->ListBox1Lines->lineBytes(n - 1));
  }

  void ExpectPlaying() {
    EXPECT_EQ(Form->ParserButton->text(), "Pause");
    EXPECT_TRUE(SameGlyph(Form->ParserButton->icon(), "ID_PAUSE"));
    EXPECT_TRUE(Form->ParserTimer->isActive());
    EXPECT_EQ(IsReplaying, 1);
    EXPECT_FALSE(Form->ComBtn1->isEnabled());
    EXPECT_FALSE(Form->LogButton->isEnabled());
  }

  void ExpectStopped(const char* caption) {
    EXPECT_EQ(Form->ParserButton->text(), caption);
    EXPECT_TRUE(SameGlyph(Form->ParserButton->icon(), "ID_PLAY"));
    EXPECT_FALSE(Form->ParserTimer->isActive());
    EXPECT_EQ(IsReplaying, 0);
    EXPECT_TRUE(Form->ComBtn1->isEnabled());
    EXPECT_TRUE(Form->LogButton->isEnabled());
  }
};

TEST_F(Replay, TwelveLinesPlayFiveFiveTwoAndFinishOnTheThirdTick) {
  Open(WriteFile("twelve.txt", NumberedLines(12)));
  ExpectStopped("Start");
  EXPECT_EQ(Form->ListBox2Lines->count(), 12u);
  Form->ParserButtonClick();
  ExpectPlaying();
  EXPECT_EQ(ReplayIndex, 0);
  const size_t expected[] = {5, 10, 12};
  for (int tick = 0; tick < 3; ++tick) {
    Form->ParserTimerTimer();
    EXPECT_EQ(Form->ListBox1Lines->count(), expected[tick]) << tick;
    EXPECT_EQ(ReplayIndex, static_cast<int32_t>(expected[tick]));
    if (tick < 2) ExpectPlaying();
  }
  ExpectStopped("Finish");
  EXPECT_EQ(LastEchoed(), "L11");
}

TEST_F(Replay, TenLinesFinishOnTheThirdTickWithNothingPlayed) {
  Open(WriteFile("ten.txt", NumberedLines(10)));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  Form->ParserTimerTimer();
  EXPECT_EQ(Form->ListBox1Lines->count(), 10u);
  ExpectPlaying();
  Form->ParserTimerTimer();
  EXPECT_EQ(Form->ListBox1Lines->count(), 10u);
  ExpectStopped("Finish");
}

TEST_F(Replay, PauseAfterTwoTicksResumesAtLineEleven) {
  Open(WriteFile("twelve.txt", NumberedLines(12)));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  Form->ParserTimerTimer();
  Form->ParserButtonClick();
  ExpectStopped("Continue");
  EXPECT_EQ(ReplayIndex, 10);
  Form->ParserTimerTimer();  // a tick that was already queued when the timer stopped plays nothing
  EXPECT_EQ(Form->ListBox1Lines->count(), 10u);
  Form->ParserButtonClick();
  ExpectPlaying();
  EXPECT_EQ(ReplayIndex, 10);
  Form->ParserTimerTimer();
  EXPECT_EQ(Echoed(), (std::vector<std::string>{"L0", "L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8", "L9",
                                                "L10", "L11"}));
}

TEST_F(Replay, ReplayAfterFinishStartsAgainFromTheFirstLineAndAResetRecord) {
  Open(WriteFile("three.txt", NumberedLines(3)));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  ExpectStopped("Finish");
  NMEAParser.GsaFixType = 3;
  NMEAParser.SentenceTotal = 7;
  Form->ParserButtonClick();
  ExpectPlaying();
  EXPECT_EQ(ReplayIndex, 0);
  // Starting resets the record, all but its sentence count.
  EXPECT_EQ(NMEAParser.GsaFixType, 1);
  EXPECT_EQ(NMEAParser.SentenceTotal, 7u);
  Form->ParserTimerTimer();
  EXPECT_EQ(Echoed(), (std::vector<std::string>{"L0", "L1", "L2", "L0", "L1", "L2"}));
}

TEST_F(Replay, CancelledOpenEmptiesBothListsAndTheButtonThenDoesNothing) {
  Open(WriteFile("twelve.txt", NumberedLines(12)));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  Form->ParserButtonClick();  // paused
  Open(QString());
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
  EXPECT_EQ(Form->ListBox2Lines->count(), 0u);
  EXPECT_EQ(Form->ListBox1Lines->rowCount(), 0);
  ExpectStopped("Continue");
  Form->ParserButtonClick();
  ExpectStopped("Continue");
  Form->ParserTimerTimer();
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
}

TEST_F(Replay, DialogIsTitledAndFilteredForNmeaLogs) {
  Open(QString());
  EXPECT_EQ(DialogTitle, "Open NMEA Log File");
  EXPECT_EQ(DialogFilters, (QStringList{"TXT (*.txt)", "ALL (*)"}));
  EXPECT_EQ(DialogSelectedFilter, "TXT (*.txt)");
}

TEST_F(Replay, LineBreaksOfEveryKindSplitTheSameWay) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"crlf.txt", "$A\r\n\r\n$B\r\n$C"},
      {"cr.txt", "$A\r\r$B\r$C"},
      {"lf.txt", "$A\n\n$B\n$C"},
      {"mixed.txt", "$A\n\r$B\r\n$C\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(WriteFile(c.name, c.bytes));
    Form->ParserButtonClick();
    Form->ParserTimerTimer();
    EXPECT_EQ(Echoed(), (std::vector<std::string>{"$A", "", "$B", "$C"}));
    ExpectStopped("Finish");
  }
}

TEST_F(Replay, LastLineWithoutABreakPlays) {
  Open(WriteFile("last.txt", "first\r\nsecond\r\nthe last"));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  EXPECT_EQ(LastEchoed(), "the last");
  ExpectStopped("Finish");
}

TEST_F(Replay, ZeroByteIsAnOrdinaryByte) {
  static const char kBytes[] = "\0\0$GPGGA,1\r\nin\0side\r\nafter\r\n";
  const std::string bytes(kBytes, sizeof kBytes - 1);
  Open(WriteFile("zero.txt", bytes));
  ASSERT_EQ(Form->ListBox2Lines->count(), 3u);
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  EXPECT_EQ(Echoed(), (std::vector<std::string>{std::string("\0\0$GPGGA,1", 10), std::string("in\0side", 7),
                                                "after"}));
  ExpectStopped("Finish");
}

TEST_F(Replay, ListFollowsTheLastPlayedLine) {
  Open(WriteFile("many.txt", NumberedLines(60)));
  Form->ParserButtonClick();
  for (int tick = 0; tick < 8; ++tick) Form->ParserTimerTimer();
  QCoreApplication::processEvents();
  const QModelIndex last = Form->ListBox1Lines->index(39);
  EXPECT_TRUE(Form->ListBox1->viewport()->rect().contains(Form->ListBox1->visualRect(last)));
  EXPECT_FALSE(Form->ListBox1->viewport()->rect().intersects(Form->ListBox1->visualRect(Form->ListBox1Lines->index(0))));
}

TEST_F(Replay, MissingFileEndsTheOpenSilently) {
  Open(WriteFile("ok.txt", NumberedLines(2)));
  Open(Dir.filePath("missing.txt"));
  EXPECT_EQ(Form->ListBox2Lines->count(), 0u);
  EXPECT_EQ(Form->ParserButton->text(), "Start") << "caption unchanged";
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(Replay, UnreadableFileIsReportedAndLeavesTheListsEmpty) {
  // A folder exists but cannot be read as a file, also for root.
  std::vector<QString> paths{Dir.path()};
  const QString locked = WriteFile("locked.txt", NumberedLines(4));
  ::chmod(QFile::encodeName(locked).constData(), 0);
  if (::geteuid() != 0) paths.push_back(locked);
  for (const QString& path : paths) {
    SCOPED_TRACE(path.toStdString());
    Boxes.clear();
    ChosenFile = path;
    // Through the event loop, so the exception reaches the per-event report.
    QTest::mouseClick(Form->LoadButton, Qt::LeftButton);
    WaitForLoad();
    ASSERT_EQ(Texts(QMessageBox::Critical), QStringList{"Cannot open file " + path + "."});
    EXPECT_EQ(Form->ListBox2Lines->count(), 0u);
    EXPECT_EQ(Form->ParserButton->text(), "Parser");
    Form->ParserButtonClick();
    EXPECT_FALSE(Form->ParserTimer->isActive());
  }
}

TEST_F(Replay, OpeningWhilePlayingEndsThePlaybackFirst) {
  Open(WriteFile("old.txt", NumberedLines(20)));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  Form->ParserTimerTimer();
  Open(WriteFile("new.txt", "N0\r\nN1\r\nN2\r\n"));
  ExpectStopped("Start");
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
  Form->ParserButtonClick();
  ExpectPlaying();
  EXPECT_EQ(ReplayIndex, 0);
  Form->ParserTimerTimer();
  EXPECT_EQ(Echoed(), (std::vector<std::string>{"N0", "N1", "N2"}));
  ExpectStopped("Finish");
}

TEST_F(Replay, CancellingWhilePlayingFinishesAtOnce) {
  Open(WriteFile("old.txt", NumberedLines(20)));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  Open(QString());
  ExpectStopped("Finish");
  EXPECT_EQ(Form->ListBox2Lines->count(), 0u);
}

TEST_F(Replay, TheRefreshTickRedrawsOnlyWhilePlaying) {
  Open(WriteFile("six.txt", NumberedLines(6)));
  Form->ParserButtonClick();
  NMEAParser.GgaLat = -3.25;
  Form->NMEATimerTimer();
  EXPECT_EQ(Form->LatitudeEdit1->text(), " S 3.250000");
  Form->ParserButtonClick();  // paused
  NMEAParser.GgaLat = 4.0;
  Form->NMEATimerTimer();
  EXPECT_EQ(Form->LatitudeEdit1->text(), " S 3.250000");
}

TEST_F(Replay, PauseAndFinishShowWhatTheirLastTickPlayed) {
  const std::string lines[] = {
      Sentence("GPGGA,031415.00,2447.2236,N,12059.8236,E,1,04,0.9,100.0,M,15.2,M,,"),
      Sentence("GPGSA,A,1,,,,,,,,,,,,,1.6,0.9,1.3"), "", "", "",
      Sentence("GPGGA,031416.00,2447.2236,N,12059.8236,E,1,04,0.9,112.0,M,15.2,M,,"),
      Sentence("GPGSV,1,1,01,07,45,090,40")};
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  Open(WriteFile("two_ticks.txt", text));
  Form->ParserButtonClick();
  Form->ParserTimerTimer();
  Form->ParserButtonClick();  // paused after the first five lines
  EXPECT_EQ(Form->AltitudeEdit1->text(), AltitudeText(100.0, QLocale()));

  Form->ParserButtonClick();
  Form->NMEATimerTimer();
  Form->ParserTimerTimer();  // plays the last two lines and finishes
  ExpectStopped("Finish");
  EXPECT_EQ(Form->AltitudeEdit1->text(), AltitudeText(112.0, QLocale()));
  // One refresh tick passed without a fix: the extra refreshes count no second.
  EXPECT_EQ(TTFFCount, 1);
  EXPECT_EQ(Form->TTFFEdit1->text(), "1 Sec");
  // The sky on screen is the one of the record as it stands, the new satellite included.
  ASSERT_NE(Form->Image1->isHidden(), Form->Image3->isHidden());
  const QImage& shown = (Form->Image1->isHidden() ? Form->Image3 : Form->Image1)->Canvas();
  QImage expected(shown.size(), shown.format());
  DrawSkyView(expected, *EarthBitmap, NMEAParser);
  ASSERT_EQ(NMEAParser.GsvSat[0].Prn, 7);
  EXPECT_TRUE(shown == expected);
}

}  // namespace
