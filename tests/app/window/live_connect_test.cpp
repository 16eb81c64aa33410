#include <QTest>

#include <termios.h>

#include "live_fixture.h"

namespace {

using LiveConnect = LiveFixture;

struct LineCase {
  const char* baud;
  speed_t speed;
  bool twoStopBits;
};

class LiveConnectAtRate : public LiveFixture, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LiveConnectAtRate, SetsTheTerminalsBaudRateAndStopBitsAndEntersConnectedMode) {
  const LineCase& c = GetParam();
  TTFFCount = 17;
  Connect(Pty.SlavePath(), c.baud);
  ASSERT_TRUE(Boxes.empty()) << Boxes.front().second.toStdString();
  EXPECT_EQ(Pty.Speed(), c.speed);
  EXPECT_EQ(Pty.TwoStopBits(), c.twoStopBits);
  EXPECT_EQ(TTFFCount, 0);
  EXPECT_TRUE(Form->Comm1.IsOpen());
  ExpectConnectedControls();

  Click(Form->ComBtn1);
  EXPECT_FALSE(Form->Comm1.IsOpen());
  ExpectIdleControls();
}

INSTANTIATE_TEST_SUITE_P(Rates, LiveConnectAtRate,
                         ::testing::Values(LineCase{"4800", B4800, false}, LineCase{"9600", B9600, true},
                                           LineCase{"38400", B38400, false}));

TEST_F(LiveConnect, ConnectResetsTheLineListAndTheSatelliteGrid) {
  Form->ListBox1Lines->appendLine("$GPGGA,old");
  for (int column = 0; column <= 12; ++column) Form->StringGrid1->item(0, column)->setText(QStringLiteral("7"));
  Connect();
  ASSERT_EQ(IsConnected, 1);
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
  EXPECT_EQ(Form->StringGrid1->item(0, 0)->text(), "7");
  for (int column = 1; column <= 12; ++column) EXPECT_EQ(Form->StringGrid1->item(0, column)->text(), "") << column;
}

TEST_F(LiveConnect, BadBaudTextReportsTheConversionErrorAndStaysIdle) {
  Form->ListBox1Lines->appendLine("$GPGGA,kept");
  Connect(Pty.SlavePath(), QStringLiteral("48o0"));
  EXPECT_EQ(Texts(QMessageBox::Critical), QStringList{"'48o0' is not a valid integer value."});
  EXPECT_FALSE(Form->Comm1.IsOpen());
  // Nothing after the conversion ran: the list keeps its lines.
  EXPECT_EQ(Form->ListBox1Lines->count(), 1u);
  ExpectIdleControls();
}

TEST_F(LiveConnect, MissingPortIsReportedAndASecondClickTriesAgain) {
  const QString missing = QStringLiteral("/dev/pts/quorvane-missing");
  Form->ListBox1Lines->appendLine("$GPGGA,old");
  Connect(missing);
  Click(Form->ComBtn1);
  const QString why = QStringLiteral("Error opening serial port.\n/dev/pts/quorvane-missing: No such file or directory.");
  EXPECT_EQ(Texts(QMessageBox::Critical), (QStringList{why, why}));
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
  ExpectIdleControls();

  Connect();
  EXPECT_EQ(Boxes.size(), 2u);
  ExpectConnectedControls();
}

TEST_F(LiveConnect, PortInUseElsewhereIsReportedAndLeavesTheWindowIdle) {
  TComm other;
  other.SetCommName(Pty.SlavePath().toStdString());
  other.StartComm();
  Connect();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_TRUE(Texts(QMessageBox::Critical)[0].startsWith("Error opening serial port.\n" + Pty.SlavePath() + ": in use by "));
  ExpectIdleControls();
}

struct NameCase {
  QString text;
  std::string commName;
};

TEST_F(LiveConnect, PortTextsOfFourCharactersAndLongerBothOpen) {
  const std::string slave = Pty.SlavePath().toStdString();
  // A pseudo-terminal's slave has no name directly under /dev/; "ptmx" is a
  // 4-character name that the serial layer finds there and that is a terminal.
  const NameCase cases[] = {
      {Pty.SlavePath(), "\\\\.\\" + slave},
      {QStringLiteral("ptmx"), "ptmx"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    Connect(c.text);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Form->Comm1.CommName(), c.commName);
    EXPECT_TRUE(Form->Comm1.IsOpen());
    EXPECT_EQ(IsConnected, 1);
    Click(Form->ComBtn1);
    EXPECT_EQ(IsConnected, 0);
  }
}

TEST_F(LiveConnect, ClosingTheWindowClosesTheOpenPort) {
  Connect();
  ASSERT_EQ(IsConnected, 1);
  TComm other;
  other.SetCommName(Pty.SlavePath().toStdString());
  EXPECT_THROW(other.StartComm(), ECommsError);

  Form->close();
  EXPECT_FALSE(Form->Comm1.IsOpen());
  EXPECT_NO_THROW(other.StartComm());
}

}  // namespace
