#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include <string>
#include <vector>

#include "app/replay_strip/replay_strip.h"
#include "display_fixture.h"

namespace {

const QString kRecording = QStringLiteral(QV_TEST_DATA_DIR "/replay_3d_fix.txt");

class ReplayStripWindow : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    ShowForm();
    NMEAParser = CNMEAParser();
  }

  std::vector<std::string> Items(const LineListModel& list) {
    std::vector<std::string> items;
    for (size_t i = 0; i < list.count(); ++i) items.emplace_back(list.lineBytes(i));
    return items;
  }
  // `before`, then lines [0, k) of the loaded file.
  std::vector<std::string> Expected(std::vector<std::string> before, size_t k) {
    for (size_t i = 0; i < k; ++i) before.emplace_back(Form->ListBox2Lines->lineBytes(i));
    return before;
  }
};

TEST_F(ReplayStripWindow, AppearsWithAFileAndLeavesTheWindowAsItWasWithout) {
  const QImage atStart = Form->grab().toImage();
  ASSERT_EQ(Form->size(), QSize(632, 475));
  EXPECT_TRUE(Form->Strip->isHidden());

  Open(kRecording);
  EXPECT_EQ(Form->size(), QSize(632, 475 + ReplayStrip::kHeight));
  EXPECT_TRUE(Form->Strip->isVisible());
  EXPECT_EQ(Form->Strip->geometry(), QRect(0, 475, 632, ReplayStrip::kHeight));
  EXPECT_EQ(Form->Strip->NameLabel->text(), "replay_3d_fix.txt");
  // The data-holding controls below the layout stay out of sight.
  for (QWidget* control : Form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (control != Form->Strip && control->y() >= 475) {
      EXPECT_FALSE(control->isVisible()) << control->objectName().toStdString();
    }
  }
  EXPECT_TRUE(Form->Strip->PositionLabel->text().startsWith("Line 0 of 87"));

  // The file goes as the open button empties the lists; the caption is the
  // open's own change, so the comparison loads and empties the list directly.
  ChosenFile.clear();
  Form->LoadButtonClick();
  EXPECT_EQ(Form->size(), QSize(632, 475));
  EXPECT_TRUE(Form->Strip->isHidden());
  Form->ParserButton->setText(QStringLiteral("Parser"));
  Form->ListBox2Lines->loadFromFile(kRecording.toStdString());
  EXPECT_EQ(Form->height(), 475 + ReplayStrip::kHeight);
  Form->ListBox2Lines->clear();
  EXPECT_EQ(Form->grab().toImage(), atStart);
  EXPECT_TRUE(Form->ListBox2->isVisibleTo(Form.get()));
}

// A seek leaves the window as playing from the start up to the line does:
// the decoder's record, the line list after the lines it held before the
// replay, and the time to first fix counting again.
TEST_F(ReplayStripWindow, SeekEqualsPlayingUpToTheLine) {
  Open(kRecording);
  Form->ListBox1Lines->appendLine("$GPGGA,live");
  const std::vector<std::string> before = Items(*Form->ListBox1Lines);
  // The second pass switches the mode with the file loaded: the saved
  // decoder states are made again in the new mode.
  for (const bool gnss : {false, true}) {
    Form->SetGnssMode(gnss);
    Form->ParserButtonClick();
    for (int tick = 0; tick < 4; ++tick) Form->ParserTimerTimer();
    TTFFCount = 7;

    for (const size_t k : {37u, 3u, 86u, 87u, 0u, 20u}) {
      Form->SeekReplay(k);
      CNMEAParser played;
      played.SetGnssMode(gnss);
      for (size_t i = 0; i < k; ++i) played.FeedBytes(Form->ListBox2Lines->lineBytes(i).data(), static_cast<uint32_t>(Form->ListBox2Lines->lineBytes(i).size()));
      EXPECT_EQ(NMEAParser.SentenceTotal, played.SentenceTotal) << k;
      EXPECT_EQ(NMEAParser.GsaFixType, played.GsaFixType) << k;
      EXPECT_EQ(NMEAParser.GgaLat, played.GgaLat) << k;
      EXPECT_EQ(NMEAParser.GsvSentences, played.GsvSentences) << k;
      EXPECT_EQ(NMEAParser.GnssInView(), played.GnssInView()) << k;
      EXPECT_EQ(Items(*Form->ListBox1Lines), Expected(before, k)) << k;
      EXPECT_EQ(TTFFCount, 0) << k;
      EXPECT_EQ(Form->ParserButton->text(), "Pause") << k;
    }
    Form->ParserTimerTimer();
    EXPECT_EQ(Items(*Form->ListBox1Lines), Expected(before, 25));
    Form->ParserButtonClick();
  }
}

TEST_F(ReplayStripWindow, KeysAndTypedTimesGoToTheirLine) {
  Open(kRecording);
  // From a loaded file a seek starts the replay, paused at the line.
  Form->Strip->PositionSlider->setFocus();
  QTest::keyClick(Form->Strip->PositionSlider, Qt::Key_End);
  EXPECT_EQ(ReplayIndex, 87);
  EXPECT_EQ(Form->ParserButton->text(), "Continue");
  QTest::keyClicks(Form->Strip->GoToEdit, "03:14:17");
  QTest::keyClick(Form->Strip->GoToEdit, Qt::Key_Return);
  EXPECT_EQ(ReplayIndex, 15);
  EXPECT_TRUE(Form->Strip->PositionLabel->text().contains("03:14:16"));
  Form->Strip->GoToEdit->setText(QStringLiteral("40"));
  QTest::mouseClick(Form->Strip->GoButton, Qt::LeftButton);
  EXPECT_EQ(ReplayIndex, 40);
  Form->Strip->GoToEdit->setText(QStringLiteral("04:00:00"));
  QTest::keyClick(Form->Strip->GoToEdit, Qt::Key_Return);
  EXPECT_EQ(ReplayIndex, 40);
  EXPECT_FALSE(Form->Strip->NoteLabel->text().isEmpty());
}

// The fastest speed plays the whole file through the event loop: every line
// in the list and the decoder where playing it tick by tick leaves it.
TEST_F(ReplayStripWindow, AsFastAsPossiblePlaysEveryLine) {
  Open(kRecording);
  Form->Strip->SpeedBox->setCurrentText(QStringLiteral("As fast as possible"));
  Form->ParserButtonClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Form->ParserButton->text() == "Finish"; }, 5000));
  EXPECT_EQ(Items(*Form->ListBox1Lines), Expected({}, 87));
  EXPECT_EQ(Form->ListBox1Lines->rowCount(), 87);
  CNMEAParser played;
  for (size_t i = 0; i < 87; ++i) played.FeedBytes(Form->ListBox2Lines->lineBytes(i).data(), static_cast<uint32_t>(Form->ListBox2Lines->lineBytes(i).size()));
  EXPECT_EQ(NMEAParser.SentenceTotal, played.SentenceTotal);
  EXPECT_EQ(NMEAParser.GgaLat, played.GgaLat);
  EXPECT_TRUE(Form->Strip->PositionLabel->text().startsWith("Line 87 of 87"));
}

}  // namespace
