#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTest>

#include <csignal>

#include "e2e_fixture.h"
#include "nmea_text.h"

// The program itself, as a user or the system runs it: its command line, its
// signals, and what a kill leaves for the next start. QProcess kills what still runs.
class ViewerProcess : public E2eFixture {
 protected:
  void Start(QProcess& viewer, const QStringList& args) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    viewer.start(QStringLiteral(QV_VIEWER_PATH), args);
  }

  // Runs the viewer to its end and returns its exit status.
  int Run(const QStringList& args) {
    Start(First, args);
    return First.waitForFinished(kPatienceMs) ? First.exitCode() : -1;
  }

  // A logging viewer connected to a receiver that started with the connection.
  SimProcess* StartLogging() {
    SimProcess* sim = StartSim({"--pace", "5", "--wait-open", "--acquire", "10", "--baud", "115200",
                                "--transcript", Transcript()});
    if (sim == nullptr) return nullptr;
    Start(First, {"--port", sim->Device(), "--baud", "115200", "--log", "--connect", "--log-dir", Work.path()});
    // A few seconds of logging, and the journal on disk.
    const bool logging = WaitFor([&] { return Journal().count('\r') > 100; }, kPatienceMs);
    EXPECT_TRUE(logging) << "no journal: " << First.readAllStandardError().toStdString();
    return logging ? sim : nullptr;
  }

  QString Transcript() const { return WorkPath(QStringLiteral("sent.nmea")); }
  QStringList Files(const QString& glob) const { return QDir(Work.path()).entryList({glob}, QDir::Files | QDir::Hidden); }
  QByteArray Journal() const {
    const QStringList journals = Files(QStringLiteral(".nmea_journal_*"));
    return journals.size() == 1 ? ReadFile(WorkPath(journals[0])) : QByteArray();
  }

  // Whether the device is held for exclusive use (TIOCEXCL), or -1 when that cannot be told.
  static int Exclusive(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY ? 1 : -1;
    int exclusive = -1;
    ::ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return exclusive;
  }

  QProcess First;
  QProcess Second;
};

TEST_F(ViewerProcess, CommandLineHelpVersionAndMistakes) {
  EXPECT_TRUE(Run({"--help"}) == 0 && First.readAllStandardOutput().contains("--log-dir <DIR>"));
  EXPECT_TRUE(Run({"--version"}) == 0 && First.readAllStandardOutput() == "quorvane-viewer 0.99.b\n");
  // Qt's own options are left to Qt, with their values.
  EXPECT_EQ(Run({"-platform", "offscreen", "-style=Fusion", "--reverse", "--version"}), 0);
  for (const QStringList& wrong : {QStringList{"--frobnicate"}, {"--baud", "fast"}, {"one.nmea", "two.nmea"}, {"--port"}}) {
    EXPECT_EQ(Run(wrong), 2) << wrong.join(' ').toStdString();
    const QByteArray error = First.readAllStandardError();
    EXPECT_TRUE(error.startsWith("quorvane-viewer: ") && error.count('\n') == 1) << error.toStdString();
  }
}

TEST_F(ViewerProcess, SigtermSavesTheRunningLogAndUnlocksThePort) {
  SimProcess* sim = StartLogging();
  ASSERT_NE(sim, nullptr);
  EXPECT_EQ(Exclusive(sim->Device()), 1);
  ::kill(static_cast<pid_t>(First.processId()), SIGTERM);
  ASSERT_TRUE(First.waitForFinished(kPatienceMs));
  EXPECT_EQ(First.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(Exclusive(sim->Device()), 0);
  EXPECT_EQ(Files(QStringLiteral(".nmea_journal_*")), QStringList());
  const QStringList logs = Files(QStringLiteral("nmea_*.txt"));
  ASSERT_EQ(logs.size(), 1);
  const QByteArray log = ReadFile(WorkPath(logs[0]));
  // Bytes still on their way when the port closed were sent but never received.
  EXPECT_GT(log.count('\r'), 100);
  EXPECT_TRUE(ExpectedLog(ReadFile(Transcript())).startsWith(log));
}

TEST_F(ViewerProcess, RestartAfterKillNineRecoversEveryLineReceivedASecondBefore) {
  SimProcess* sim = StartLogging();
  ASSERT_NE(sim, nullptr);
  QByteArray before = ReadFile(Transcript());
  before.truncate(before.lastIndexOf("\r\n") + 2);
  QTest::qWait(1000);
  ::kill(static_cast<pid_t>(First.processId()), SIGKILL);
  ASSERT_TRUE(First.waitForFinished(kPatienceMs));
  sim->Stop();

  Start(Second, {"--log-dir", Work.path()});
  ASSERT_TRUE(WaitFor([&] { return !Files(QStringLiteral("nmea_recovered_*.txt")).isEmpty(); }, kPatienceMs));
  const QStringList recovered = Files(QStringLiteral("nmea_recovered_*.txt"));
  ASSERT_EQ(recovered.size(), 1);
  EXPECT_EQ(Files(QStringLiteral(".nmea_journal_*")), QStringList());
  const QByteArray log = ReadFile(WorkPath(recovered[0]));
  EXPECT_TRUE(log.startsWith(ExpectedLog(before)))
      << log.count('\r') << " lines recovered, " << ExpectedLog(before).count('\r') << " expected at least";
  EXPECT_TRUE(ExpectedLog(ReadFile(Transcript())).startsWith(log));

  // The second viewer tells where the log is and waits for OK; a signal closes that box too.
  ::kill(static_cast<pid_t>(Second.processId()), SIGTERM);
  ASSERT_TRUE(Second.waitForFinished(kPatienceMs));
  EXPECT_EQ(Second.exitStatus(), QProcess::NormalExit);
}
