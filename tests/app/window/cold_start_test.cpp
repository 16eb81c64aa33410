#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <thread>

#include "live_fixture.h"

namespace {

const std::string kGga = Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");

std::string SirfCommand() { return (ColdStartCommand + CRLF).toStdString(); }
std::string SkytraqCommand() { return SkytraqColdStart.toStdString(); }

struct ColdStartCase {
  int chip;
  const char* baud;
  std::string (*expected)();
};

class ColdStart : public LiveFixture, public ::testing::WithParamInterface<ColdStartCase> {};

TEST_P(ColdStart, SendsTheChipsCommandAndComesBackConnectedWithClearedViews) {
  const ColdStartCase& c = GetParam();
  Connect(Pty.SlavePath(), c.baud);
  ASSERT_EQ(IsConnected, 1);
  Form->ChipComboBox->setCurrentIndex(c.chip);
  Pty.Write(kGga + "\r\n");
  ASSERT_TRUE(WaitForLines(1));
  Form->LatitudeEdit1->setText(QStringLiteral("48.1"));
  Form->LongitudeEdit1->setText(QStringLiteral("11.5"));
  Form->AltitudeEdit1->setText(QStringLiteral("545.4"));
  TTFFCount = 9;

  Click(Form->ColdStartButton1);
  const std::string expected = c.expected();
  EXPECT_EQ(Pty.Read(expected.size() + 1, std::chrono::milliseconds(1000)), expected);
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
  EXPECT_EQ(Form->LatitudeEdit1->text(), "");
  EXPECT_EQ(Form->LongitudeEdit1->text(), "");
  EXPECT_EQ(Form->AltitudeEdit1->text(), "");
  EXPECT_EQ(TTFFCount, 0);
  EXPECT_TRUE(Form->NMEATimer->isActive());
  EXPECT_TRUE(Form->Comm1.IsOpen());
  ExpectConnectedControls();

  // The reopened line receives again.
  Pty.Write(kGga + "\r\n");
  ASSERT_TRUE(WaitForLines(1));
  EXPECT_EQ(Form->ListBox1Lines->lineBytes(0), kGga);
}

INSTANTIATE_TEST_SUITE_P(
    ChipsAndRates, ColdStart,
    ::testing::Values(ColdStartCase{2, "4800", SirfCommand}, ColdStartCase{2, "9600", SirfCommand},
                      ColdStartCase{2, "38400", SirfCommand}, ColdStartCase{1, "4800", SkytraqCommand},
                      ColdStartCase{1, "9600", SkytraqCommand}, ColdStartCase{1, "38400", SkytraqCommand},
                      ColdStartCase{0, "4800", SirfCommand}, ColdStartCase{0, "9600", SkytraqCommand},
                      ColdStartCase{0, "38400", SirfCommand}));

using ColdStartLive = LiveFixture;

TEST_F(ColdStartLive, NoChipSelectedSendsNothingButStillRestarts) {
  Connect();
  Form->ChipComboBox->setCurrentIndex(-1);
  Click(Form->ColdStartButton1);
  EXPECT_EQ(Pty.Read(1, std::chrono::milliseconds(300)), "");
  EXPECT_TRUE(Form->Comm1.IsOpen());
  ExpectConnectedControls();
}

TEST_F(ColdStartLive, TimeToFirstFixCountsFromOneAfterTheRestart) {
  Connect();
  Click(Form->ColdStartButton1);
  ASSERT_EQ(TTFFCount, 0);
  const int32_t ticks = TimerTicks;
  ASSERT_TRUE(QTest::qWaitFor([&] { return TimerTicks > ticks; }, kPatience.count()));
  // The refresh rewrites the position fields that the cold start emptied.
  EXPECT_EQ(Form->LatitudeEdit1->text(), QStringLiteral(" N 0.000000"));
  EXPECT_EQ(TTFFCount, 1);
  EXPECT_EQ(Form->TTFFEdit1->text(), QStringLiteral("1 Sec"));
}

TEST_F(ColdStartLive, DataPendingAtTheRestartEndsTheOldStreamAndNothingIsSpliced) {
  Connect();
  Click(Form->LogButton);
  // A sentence and the head of the next are posted by the component but not
  // yet handed to the window when the restart begins.
  Pty.Write(kGga + "\r\n$GPG");
  pollfd pending{Form->Comm1.NotifyFd(), POLLIN, 0};
  ASSERT_EQ(::poll(&pending, 1, static_cast<int>(kPatience.count())), 1);
  Form->ColdStartButton1Click();
  Pty.Write(kGga + "\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Form->ListBox3Lines->count() >= 2; }, kPatience.count()));
  QTest::qWait(200);
  EXPECT_EQ(Lines(*Form->ListBox1Lines), std::vector<std::string>{kGga});
  EXPECT_EQ(Lines(*Form->ListBox3Lines), (std::vector<std::string>{kGga, kGga}));
}

TEST_F(ColdStartLive, ReopenThatFailsLeavesTheWindowIdleAndWorking) {
  Connect();
  ASSERT_EQ(IsConnected, 1);
  // Another opener takes the line the moment the window lets go of it.
  const std::string path = Pty.SlavePath().toStdString();
  int taken = -1;
  std::thread grabber([&] {
    for (int i = 0; i < 10000 && taken < 0; ++i) {
      const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        taken = fd;
      } else {
        if (fd >= 0) ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  });
  Click(Form->ColdStartButton1);
  grabber.join();
  ASSERT_GE(taken, 0);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_TRUE(Texts(QMessageBox::Critical)[0].startsWith(QString::fromStdString("Error opening serial port.\n" + path)));
  EXPECT_FALSE(Form->Comm1.IsOpen());
  EXPECT_TRUE(Form->NMEATimer->isActive());
  ExpectIdleControls();
  ::close(taken);

  // Ticks poll the port list again, and a new receiver connects and is heard.
  const int32_t ticks = TimerTicks;
  ASSERT_TRUE(QTest::qWaitFor([&] { return TimerTicks > ticks; }, kPatience.count()));
  PtyEnd other;
  Connect(other.SlavePath());
  ExpectConnectedControls();
  other.Write(kGga + "\r\n");
  ASSERT_TRUE(WaitForLines(1));
  EXPECT_EQ(Form->ListBox1Lines->lineBytes(0), kGga);
}

}  // namespace
