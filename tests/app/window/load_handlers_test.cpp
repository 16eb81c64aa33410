#include <QCoreApplication>
#include <QTest>

#include <string>

#include "app/loading/load_strip.h"
#include "app/replay_strip/replay_strip.h"
#include "display_fixture.h"

namespace {

class Loading : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    ShowForm();
    Lines = WriteFile("many.txt", std::string(200000, '\n'));
  }

  // Opens the file and shows the strip at once, as a long load would.
  void OpenWithStrip() {
    ChosenFile = Lines;
    Form->LoadButtonClick();
    Form->LoadBarTimerTimer();
  }

  // No load running and its strip gone; a loaded file has the replay's strip instead.
  void ExpectIdleWindow(bool loaded = false) {
    EXPECT_FALSE(Form->LoadRunning());
    EXPECT_TRUE(Form->LoadBar->isHidden());
    EXPECT_EQ(Form->size(), QSize(632, 475 + (loaded ? ReplayStrip::kHeight : 0)));
  }

  QString Lines;
};

TEST_F(Loading, OpenLoadsOffTheWindowsThreadBelowTheControlsAndCancelPutsAllBack) {
  const QString caption = Form->ParserButton->text();
  OpenWithStrip();
  // Back from the click with the file still to come: the load runs elsewhere.
  EXPECT_TRUE(Form->LoadRunning());
  EXPECT_EQ(Form->ListBox2Lines->count(), 0u);
  EXPECT_TRUE(Form->LoadBar->isVisible());
  EXPECT_EQ(Form->size(), QSize(632, 475 + LoadStrip::kHeight));
  EXPECT_EQ(Form->LoadBar->geometry(), QRect(0, 475, 632, LoadStrip::kHeight));

  QTest::mouseClick(Form->LoadBar->CancelButton, Qt::LeftButton);
  ExpectIdleWindow();
  // A load that had ended meanwhile delivers nothing afterwards.
  QTest::qWait(200);
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
  EXPECT_EQ(Form->ListBox2Lines->count(), 0u);
  EXPECT_EQ(Form->ParserButton->text(), caption);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(Loading, FinishedLoadFillsTheListAndGivesBackTheWindowsSize) {
  OpenWithStrip();
  WaitForLoad();
  ExpectIdleWindow(true);
  EXPECT_EQ(Form->ListBox2Lines->count(), 200000u);
  EXPECT_EQ(Form->ParserButton->text(), "Start");
}

TEST_F(Loading, FileThatCannotBeReadGivesTheOpenBoxAndTheSize) {
  const QString missing = Dir.filePath(QStringLiteral("gone.txt"));
  Form->LoadFile(missing);
  Form->LoadBarTimerTimer();
  WaitForLoad();
  ExpectIdleWindow();
  EXPECT_EQ(Texts(QMessageBox::Critical), QStringList{"Cannot open file " + missing + "."});
  EXPECT_EQ(Form->ListBox2Lines->count(), 0u);
}

TEST_F(Loading, ClosingTheWindowDuringALoadStopsIt) {
  OpenWithStrip();
  Form->close();
  EXPECT_FALSE(Form->LoadRunning());
  Form.reset();
  QTest::qWait(50);
}

}  // namespace
