#include <QObject>

#include <cmath>
#include <utility>
#include <vector>

#include "app/views/signal_chart.h"
#include "e2e_fixture.h"
#include "nmea_text.h"

namespace {

bool Matches(const GgaSeen& gga, double lat, double lon) {
  // The window shows six decimals; the sentence carries 1/10000 of a minute.
  return std::fabs(gga.Lat - lat) < 2e-6 && std::fabs(gga.Lon - lon) < 2e-6;
}

}  // namespace

TEST_F(E2eFixture, ReceiverHangingUpMidStreamDisconnectsTheWindowWhichConnectsAgain) {
  SimProcess* first = StartSim({"--pace", "2", "--hangup-after", "4", "--acquire", "0", "--speed", "0"});
  ASSERT_NE(first, nullptr);
  Connect(first->Device(), 9600);
  ASSERT_EQ(IsConnected, 1);
  Form->LogButtonClick();
  ASSERT_TRUE(WaitFor([&] { return Form->ListBox1Lines->count() > 0; }, kPatienceMs));
  ASSERT_TRUE(first->WaitForExit(kPatienceMs)) << "the simulator did not hang up";
  EXPECT_FALSE(first->StderrLines(QStringLiteral("hang-up")).isEmpty()) << first->Stderr().toStdString();

  // The window notices by itself: it disconnects as the GPS button does and
  // says so once; the lines stay, logging goes on, the refresh stops.
  ASSERT_TRUE(WaitFor([&] { return IsConnected == 0 && !Boxes.empty(); }, kPatienceMs));
  const int32_t ttff = TTFFCount;
  ASSERT_TRUE(WaitForTicks(2, 5000));
  EXPECT_EQ(Texts(QMessageBox::Warning),
            QStringList{QStringLiteral("Serial port closed: ") + first->Device() + QStringLiteral(": Input/output error")});
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_FALSE(Form->Comm1.IsOpen());
  EXPECT_TRUE(Form->ComComboBox1->isEnabled());
  EXPECT_TRUE(Form->BaudComboBox1->isEnabled());
  EXPECT_FALSE(Form->ColdStartButton1->isEnabled());
  EXPECT_TRUE(Form->LoadButton->isEnabled());
  EXPECT_EQ(Form->ComBtn1->toolTip(), QLatin1String("Connect"));
  EXPECT_EQ(TTFFCount, ttff);
  // The fix and the satellites went with the receiver: the display shows the reset record.
  EXPECT_EQ(Form->FixEdit1->text(), QLatin1String("Fix not available"));
  QImage bare = Form->Image2->Canvas();
  DrawSignalChartBackground(bare);
  EXPECT_TRUE(Form->Image2->Canvas() == bare) << "no bars";
  EXPECT_GT(Form->ListBox1Lines->count(), 0u);
  EXPECT_EQ(IsLogging, 1);
  EXPECT_EQ(Form->ListBox3Lines->count(), Form->ListBox1Lines->count());
  IsLogging = 0;

  SimProcess* second = StartSim({"--lat", "-33.8568", "--lon", "151.2153", "--acquire", "0", "--speed", "0"});
  ASSERT_NE(second, nullptr);
  Connect(second->Device(), 9600);
  ASSERT_EQ(IsConnected, 1);
  EXPECT_TRUE(WaitFor(
      [&] {
        const auto lat = DisplayedDegrees(Form->LatitudeEdit1->text());
        return lat && std::fabs(*lat + 33.8568) < 1e-5;
      },
      kFirstFixPatienceMs))
      << Fields();
  EXPECT_EQ(Form->LatitudeEdit1->text().left(3), QLatin1String(" S "));

  // And again, a few times: each connection receives afresh.
  for (int round = 0; round < 3; ++round) {
    Form->ComBtn1Click();
    ASSERT_EQ(IsConnected, 0);
    Connect(second->Device(), 9600);
    ASSERT_EQ(IsConnected, 1) << "round " << round;
    EXPECT_EQ(Form->ListBox1Lines->count(), 0U) << "connecting empties the line list";
    EXPECT_TRUE(WaitFor([&] { return Form->ListBox1Lines->count() > 0; }, kPatienceMs)) << "round " << round;
  }
  Form->ComBtn1Click();
  EXPECT_EQ(IsConnected, 0);
}

TEST_F(E2eFixture, GarbageAndBadChecksumsLeaveTheLastGoodPositionOnDisplay) {
  const QString transcript = WorkPath(QStringLiteral("sent.nmea"));
  // Moving fast, so every second's GGA has its own position. This seed ends
  // the run on a GGA with a wrong checksum.
  SimProcess* sim = StartSim({"--seed", "8", "--pace", "2", "--cycles", "14", "--wait-open", "--acquire", "0",
                              "--speed", "300", "--course", "30", "--bad-checksum-rate", "0.4", "--garbage-rate",
                              "0.4", "--transcript", transcript});
  ASSERT_NE(sim, nullptr);

  std::vector<std::pair<QString, QString>> shown;
  const QMetaObject::Connection sampler = QObject::connect(Form->NMEATimer, &QTimer::timeout, Form.get(), [&] {
    shown.emplace_back(Form->LatitudeEdit1->text(), Form->LongitudeEdit1->text());
  });
  // The simulator's end closes the line, and the window's hang-up clears the
  // record: draw the last decoded record once more just before.
  QString lastFix;
  Form->Comm1.OnRequestHangup = [&, hangup = Form->Comm1.OnRequestHangup](TComm* comm) {
    Form->UpdateNMEA(1);
    shown.emplace_back(Form->LatitudeEdit1->text(), Form->LongitudeEdit1->text());
    lastFix = Form->FixEdit1->text();
    hangup(comm);
  };
  Connect(sim->Device(), 9600);
  ASSERT_EQ(IsConnected, 1);
  ASSERT_TRUE(sim->WaitForExit(kPatienceMs));
  const QByteArray sent = ReadFile(transcript);
  const qsizetype lines = sent.count('\r');
  EXPECT_TRUE(WaitFor([&] { return Form->ListBox1Lines->count() >= static_cast<size_t>(lines); }, kPatienceMs))
      << Form->ListBox1Lines->count() << " of " << lines << " lines arrived";
  ASSERT_TRUE(WaitFor([&] { return IsConnected == 0; }, kPatienceMs));
  QObject::disconnect(sampler);

  const std::vector<GgaSeen> ggas = GgaSentences(sent);
  int bad = 0;
  int lastClean = -1;
  for (size_t i = 0; i < ggas.size(); ++i) {
    bad += ggas[i].ChecksumValid ? 0 : 1;
    if (ggas[i].ChecksumValid && ggas[i].Clean) lastClean = static_cast<int>(i);
  }
  ASSERT_GT(bad, 0) << "the run had no spoilt GGA";
  ASSERT_GE(lastClean, 0) << "the run had no good GGA";
  EXPECT_FALSE(ggas.back().ChecksumValid) << "the run no longer ends on a spoilt GGA";

  // Every refresh shows a position some good GGA carried (or, before the
  // first, none at all); a spoilt one never reaches the display.
  bool positionSeen = false;
  for (const auto& [latText, lonText] : shown) {
    const auto lat = DisplayedDegrees(latText);
    const auto lon = DisplayedDegrees(lonText);
    ASSERT_TRUE(lat && lon) << latText.toStdString() << " / " << lonText.toStdString();
    if (!positionSeen && *lat == 0.0 && *lon == 0.0) continue;
    positionSeen = true;
    bool good = false;
    for (const GgaSeen& gga : ggas) good = good || (gga.ChecksumValid && Matches(gga, *lat, *lon));
    EXPECT_TRUE(good) << latText.toStdString() << " / " << lonText.toStdString() << " came from no good GGA";
  }
  ASSERT_TRUE(positionSeen);

  // At the end: the last good GGA (or a good one after it that garbage in
  // front of it did not spoil), not the spoilt one after them.
  const auto lat = DisplayedDegrees(shown.back().first);
  const auto lon = DisplayedDegrees(shown.back().second);
  bool last = false;
  for (size_t i = static_cast<size_t>(lastClean); i < ggas.size(); ++i)
    last = last || (ggas[i].ChecksumValid && Matches(ggas[i], *lat, *lon));
  EXPECT_TRUE(last) << "final display " << Fields();
  EXPECT_EQ(lastFix, QLatin1String("3D Fix"));
}

TEST_F(E2eFixture, StalledReceiverKeepsTheDisplayAndTheSentenceItCutIsReceivedWhole) {
  // The stall begins while the cycle at 3 s is on the line, part-way through
  // its satellites, and lasts seven seconds of wall time.
  SimProcess* sim = StartSim({"--pace", "2", "--acquire", "0", "--speed", "0", "--lat", "48.8584", "--lon", "2.2945",
                              "--start-time", "2024-03-07T09:05:00", "--stall-after", "3.2", "--stall-for", "14"});
  ASSERT_NE(sim, nullptr);
  Connect(sim->Device(), 9600);
  ASSERT_EQ(IsConnected, 1);
  ASSERT_TRUE(WaitFor([&] { return Form->FixEdit1->text() == QLatin1String("3D Fix"); }, kFirstFixPatienceMs))
      << Fields();
  ASSERT_TRUE(WaitFor([&] { return !sim->StderrLines(QStringLiteral("stall: output paused")).isEmpty(); },
                      kPatienceMs));

  ASSERT_TRUE(WaitForTicks(2, 5000));
  const std::string silent = Fields();
  ASSERT_TRUE(WaitForTicks(2, 5000));
  ASSERT_TRUE(sim->StderrLines(QStringLiteral("stall: output resumed")).isEmpty()) << "the stall ended too early";
  EXPECT_EQ(Fields(), silent) << "refreshes without data keep what was shown";
  EXPECT_EQ(Form->FixEdit1->text(), QLatin1String("3D Fix"));
  const auto lat = DisplayedDegrees(Form->LatitudeEdit1->text());
  EXPECT_TRUE(lat && std::fabs(*lat - 48.8584) < 1e-5) << silent;

  // Afterwards the receiver's clock shows it went on meanwhile.
  const int stalledAt = Form->GPSTimeEdit1->text().section(QLatin1Char(':'), -1).toInt();
  EXPECT_TRUE(WaitFor(
      [&] { return Form->GPSTimeEdit1->text().section(QLatin1Char(':'), -1).toInt() >= stalledAt + 10; },
      kPatienceMs))
      << Fields();

  // The sentence the stall cut arrived in two deliveries seconds apart, and
  // still makes one line: every line is a sentence from its "$".
  for (size_t i = 0; i < Form->ListBox1Lines->count(); ++i) {
    const std::string_view line = Form->ListBox1Lines->lineBytes(i);
    EXPECT_TRUE(line.substr(0, 3) == "$GP") << "line " << i << ": '" << line << "'";
  }
}
