#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>
#include <sys/resource.h>

#include <csignal>
#include <memory>
#include <tuple>

#include "app/window/bitmaps.h"
#include "live_fixture.h"
#include "app/logging/nmea_journal.h"
#include "nmea/line_splitter.h"
#include "app/logging/nmea_log_name.h"

namespace {

const std::string kGga = Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kGsa = Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
const std::string kRmc = Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");

using LiveLog = LiveFixture;

TEST_F(LiveLog, LogHoldsExactlyTheLinesReceivedWhileLoggingEachWithCrLf) {
  Connect();
  // A delivery that ends between a CR and its LF.
  Pty.Write(kRmc + "\r");
  ASSERT_TRUE(WaitForLines(1));
  Click(Form->LogButton);
  EXPECT_EQ(IsLogging, 1);
  EXPECT_EQ(Form->LogButton->text(), "Stop");
  Pty.Write("\n" + kGga + "\r\n" + kGsa + "\r\n");
  ASSERT_TRUE(WaitForLines(3));
  EXPECT_TRUE(LogFiles().isEmpty());

  Form->LogButton->setIcon(LoadGlyph("ID_LOGNMEA2"));
  Click(Form->LogButton);
  EXPECT_EQ(IsLogging, 0);
  EXPECT_EQ(Form->LogButton->text(), "Log");
  EXPECT_TRUE(ShowsGlyph(Form->LogButton, "ID_LOGNMEA1"));
  const QStringList files = LogFiles();
  ASSERT_EQ(files.size(), 1);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^nmea_\\d{12}\\.txt$")).match(QDir(files[0]).dirName()).hasMatch())
      << files[0].toStdString();
  const std::string log = ReadFile(files[0]);
  EXPECT_EQ(log, kGga + "\r\n" + kGsa + "\r\n");
  // Replayed, it decodes like a log of the old kind, which held an LF before each sentence.
  for (const std::string& text : {log, "\n" + kGga + "\r\n\n" + kGsa + "\r\n"}) {
    auto p = std::make_unique<CNMEAParser>();
    LineSplitter(LineSplitter::Breaks::Any).Feed(text.data(), text.size(), [&p](std::string_view line) {
      p->FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
    });
    EXPECT_EQ(std::tuple(p->GgaLat, p->GsaPdop, p->SentenceTotal),
              std::tuple(NMEAParser.GgaLat, NMEAParser.GsaPdop, 2u));
  }
}

TEST_F(LiveLog, TwoLogsInTheSameMinuteKeepBothFiles) {
  Connect();
  const std::string first = Sentence("GPTXT,01,01,02,first");
  const std::string second = Sentence("GPTXT,01,01,02,second");
  Click(Form->LogButton);
  Pty.Write(first + "\r\n");
  ASSERT_TRUE(WaitForLines(1));
  Click(Form->LogButton);
  Click(Form->LogButton);
  Pty.Write(second + "\r\n");
  ASSERT_TRUE(WaitForLines(2));
  Click(Form->LogButton);

  const QStringList files = LogFiles();
  ASSERT_EQ(files.size(), 2);
  QStringList contents;
  for (const QString& f : files) contents << QString::fromStdString(ReadFile(f));
  QStringList expected{QString::fromStdString(first + "\r\n"), QString::fromStdString(second + "\r\n")};
  contents.sort();
  expected.sort();
  EXPECT_EQ(contents, expected);
}

TEST_F(LiveLog, LogWithoutReceivedLinesWritesNoFile) {
  Click(Form->LogButton);
  Click(Form->LogButton);
  EXPECT_TRUE(LogFiles().isEmpty());
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(LiveLog, UnwritableFolderReportsCannotCreateFileAndKeepsTheLines) {
  LogFolder = LogDir.filePath(QStringLiteral("no-such-folder"));
  Connect();
  Click(Form->LogButton);
  Pty.Write(kGga + "\r\n");
  ASSERT_TRUE(WaitForLines(1));
  Click(Form->LogButton);
  const QStringList errors = Texts(QMessageBox::Critical);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot create file ") + LogFolder + QStringLiteral("/nmea_")))
      << errors[0].toStdString();
  EXPECT_EQ(IsLogging, 0);
  EXPECT_EQ(Form->LogButton->text(), "Log");
  EXPECT_EQ(Form->ListBox3Lines->count(), 1u);
}

TEST_F(LiveLog, ClosingTheWindowWhileLoggingWritesTheLog) {
  Connect();
  Click(Form->LogButton);
  Pty.Write(kGga + "\r\n" + kGsa + "\r\n");
  ASSERT_TRUE(WaitForLines(2));
  Form->close();
  const QStringList files = LogFiles();
  ASSERT_EQ(files.size(), 1);
  EXPECT_EQ(ReadFile(files[0]), kGga + "\r\n" + kGsa + "\r\n");
  EXPECT_EQ(IsLogging, 0);
  EXPECT_FALSE(Form->Comm1.IsOpen());
}

TEST_F(LiveLog, ClosingTheWindowReportsALogThatCannotBeWritten) {
  LogFolder = LogDir.filePath(QStringLiteral("no-such-folder"));
  Form->ListBox3Lines->appendLine(kGga);
  IsLogging = 1;
  Form->close();
  EXPECT_FALSE(Form->isVisible());
  const QStringList errors = Texts(QMessageBox::Critical);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot create file "))) << errors[0].toStdString();
}

TEST_F(LiveLog, TestButtonShowsTheLogFolderAndTheTimeToTheMinute) {
  const QString before = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHH:mm"));
  Click(Form->Button1);
  const QString after = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHH:mm"));
  const QString prefix = LogFolder + QStringLiteral("/");
  EXPECT_TRUE(Form->Edit1->text() == prefix + before + ".txt" || Form->Edit1->text() == prefix + after + ".txt")
      << Form->Edit1->text().toStdString();
  EXPECT_TRUE(LogFiles().isEmpty());
}

TEST_F(LiveLog, ALogThatFailsPartWayLeavesNoFileBehind) {
  // A disk that fills after 8 kB: the size limit makes the second write fail.
  for (int i = 0; i < 2000; ++i) Form->ListBox3Lines->appendLine(kGga);
  IsLogging = 1;
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const rlimit small{8192, old.rlim_max};
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  Click(Form->LogButton);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  const QStringList errors = Texts(QMessageBox::Critical);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot write file ") + LogFolder)) << errors[0].toStdString();
  EXPECT_EQ(QDir(LogFolder).entryList(QDir::Files | QDir::Hidden), QStringList());
  EXPECT_EQ(Form->ListBox3Lines->count(), 2000u);
}

TEST_F(LiveLog, JournalHoldsTheLoggedLinesIsLeftAloneWhileHeldAndGoesAtStop) {
  Connect();
  Click(Form->LogButton);
  Pty.Write(kGga + "\r\n" + kGsa + "\r\n");
  ASSERT_TRUE(WaitForLines(2));
  const QString journal = Form->Journal.Path();
  const std::string expected = kGga + "\r\n" + kGsa + "\r\n";
  EXPECT_EQ(ReadFile(journal), expected);
  // This window still logs into it, so a viewer starting now must not take it.
  EXPECT_EQ(RecoverNmeaJournals(LogFolder), QStringList());
  Click(Form->LogButton);
  EXPECT_FALSE(QFile::exists(journal));
  ASSERT_EQ(LogFiles().size(), 1);
  EXPECT_EQ(ReadFile(LogFiles()[0]), expected);
  // A log that cannot be saved keeps its journal for the next start.
  Click(Form->LogButton);
  Pty.Write(kRmc + "\r\n");
  ASSERT_TRUE(WaitForLines(3));
  LogFolder = LogDir.filePath(QStringLiteral("gone"));
  Click(Form->LogButton);
  LogFolder = LogDir.path();
  const QStringList recovered = RecoverNmeaJournals(LogFolder);
  ASSERT_EQ(recovered.size(), 1);
  EXPECT_TRUE(QDir(recovered[0]).dirName().startsWith(QStringLiteral("nmea_recovered_")));
  EXPECT_EQ(ReadFile(recovered[0]), kRmc + "\r\n");
}

TEST(UnfinishedLogSaves, OnlyThoseNoViewerIsWritingGo) {
  QTemporaryDir dir;
  // The first is a save that another viewer is running, the last one a kill cut short.
  const QStringList kept = {".nmea_202612091403.txt.Qw9eRt", ".nmea_journal_Zx8cVb", ".nmea_notes.txt"};
  for (const QString& name : kept + QStringList{".nmea_202612091402.txt.Ab3xYz"}) {
    EXPECT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
  }
  QFile held(dir.filePath(kept[0]));
  ASSERT_TRUE(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX | LOCK_NB) == 0);
  RemoveUnfinishedLogSaves(dir.path());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
}

}  // namespace
