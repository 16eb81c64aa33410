#include <QDir>

#include "e2e_fixture.h"
#include "nmea_text.h"

TEST_F(E2eFixture, LogOfAMinuteHoldsEveryLineTheReceiverSentInOrderWithCrLf) {
  const QString transcript = WorkPath(QStringLiteral("sent.nmea"));
  // A minute of receiver output, twenty times faster than real time, from the
  // first search for satellites to a 3D fix, with a waypoint for RMB.
  SimProcess* sim = StartSim({"--pace", "20", "--cycles", "60", "--wait-open", "--acquire", "20", "--waypoint",
                              "51.5007,-0.1246,BIGBEN", "--transcript", transcript});
  ASSERT_NE(sim, nullptr);

  Form->LogButtonClick();
  ASSERT_EQ(IsLogging, 1);
  Connect(sim->Device(), 9600);
  ASSERT_EQ(IsConnected, 1);

  ASSERT_TRUE(sim->WaitForExit(kPatienceMs)) << "the simulator did not finish its minute";
  const QByteArray sent = ReadFile(transcript);
  const qsizetype lines = sent.count('\r');
  ASSERT_GE(lines, 60 * 6) << "the simulator sent less than a minute";
  EXPECT_TRUE(WaitFor([&] { return Form->ListBox3Lines->count() >= static_cast<size_t>(lines); }, kPatienceMs))
      << Form->ListBox3Lines->count() << " of " << lines << " lines arrived";

  Form->LogButtonClick();
  ASSERT_EQ(IsLogging, 0);
  // The window logs into the test's own folder (see the fixture).
  const QStringList logs = QDir(Work.path()).entryList({QStringLiteral("nmea_*.txt")}, QDir::Files);
  ASSERT_EQ(logs.size(), 1) << logs.join(QLatin1Char(' ')).toStdString();
  const QByteArray log = ReadFile(Work.filePath(logs.first()));

  const QByteArray expected = ExpectedLog(sent);
  EXPECT_EQ(log.size(), expected.size());
  // The first difference, rather than two 40 kB strings.
  qsizetype same = 0;
  while (same < log.size() && same < expected.size() && log[same] == expected[same]) ++same;
  EXPECT_TRUE(log == expected) << "log and sent lines differ from byte " << same << ": log has '"
                               << log.mid(same, 60).toStdString() << "', expected '"
                               << expected.mid(same, 60).toStdString() << "'";
  EXPECT_TRUE(log.endsWith("\r\n"));
}
