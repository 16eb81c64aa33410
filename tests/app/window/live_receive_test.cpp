#include <QListView>
#include <QTest>

#include <atomic>
#include <thread>
#include <unistd.h>

#include "live_fixture.h"

namespace {

const std::string kGga = Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kGsa = Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
const std::string kRmc = Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");

using LiveReceive = LiveFixture;

TEST_F(LiveReceive, LinesAreCutAtCarriageReturnsWithoutTheLineFeed) {
  Connect();
  ASSERT_EQ(IsConnected, 1);
  Pty.Write(kGga + "\r\n" + kGsa + "\r\n");
  ASSERT_TRUE(WaitForLines(2));
  EXPECT_EQ(Lines(*Form->ListBox1Lines), (std::vector<std::string>{kGga, kGsa}));
  // Not logging: the log buffer stays empty.
  EXPECT_EQ(Form->ListBox3Lines->count(), 0u);
  EXPECT_EQ(Form->ListBox1->model()->rowCount(), 2);
}

TEST_F(LiveReceive, ListShowsTheLastLineAsLinesArrive) {
  Connect();
  std::string burst;
  for (int i = 0; i < 60; ++i) burst += Sentence("GPTXT,01,01,02,line " + std::to_string(i)) + "\r\n";
  Pty.Write(burst);
  ASSERT_TRUE(WaitForLines(60));
  QTest::qWait(50);
  const QListView* view = Form->ListBox1;
  const QModelIndex last = view->model()->index(view->model()->rowCount() - 1, 0);
  ASSERT_TRUE(last.isValid());
  EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(last)));
  EXPECT_FALSE(view->viewport()->rect().intersects(view->visualRect(view->model()->index(0, 0))));
}

TEST_F(LiveReceive, ConnectingDropsTheTailKeptFromTheLastConnection) {
  Connect();
  Pty.Write(kGga + "\r\n$GPRMC,123519,A,48");
  ASSERT_TRUE(WaitForLines(1));
  QTest::qWait(150);
  Click(Form->ComBtn1);
  Connect();
  ASSERT_EQ(IsConnected, 1);
  Pty.Write(kGsa + "\r\n");
  ASSERT_TRUE(WaitForLines(1));
  EXPECT_EQ(Lines(*Form->ListBox1Lines), std::vector<std::string>{kGsa});
}

TEST_F(LiveReceive, LinesReachTheDecoder) {
  Connect();
  const uint32_t before = NMEAParser.SentenceTotal;
  Pty.Write(kGga + "\r\n" + kGsa + "\r\n" + kRmc + "\r\n");
  ASSERT_TRUE(WaitForLines(3));
  EXPECT_EQ(NMEAParser.SentenceTotal, before + 3);
  EXPECT_NEAR(NMEAParser.GgaLat, 48.1173, 1e-4);
  EXPECT_EQ(NMEAParser.GsaFixType, 3);
  EXPECT_EQ(NMEAParser.RmcDay, 23);
}

TEST_F(LiveReceive, SentenceSplitAcrossTwoDeliveriesArrivesWholeAndIsDecodedOnce) {
  Connect();
  const uint32_t before = NMEAParser.SentenceTotal;
  const uint32_t rmcBefore = NMEAParser.RmcSentences;
  const size_t cut = 30;
  Pty.Write(kGga + "\r\n" + kRmc.substr(0, cut));
  ASSERT_TRUE(WaitForLines(1));
  QTest::qWait(150);
  Pty.Write(kRmc.substr(cut) + "\r\n");
  ASSERT_TRUE(WaitForLines(2));
  EXPECT_EQ(NMEAParser.SentenceTotal, before + 2);
  EXPECT_EQ(NMEAParser.RmcSentences, rmcBefore + 1);
  EXPECT_NEAR(NMEAParser.RmcSpeedKnots, 22.4, 1e-9);
  EXPECT_EQ(Lines(*Form->ListBox1Lines), (std::vector<std::string>{kGga, kRmc}));
}

// Writes numbered sentences at the master end until stopped, whether or not
// the window has the line open.
class Talker {
 public:
  explicit Talker(int master)
      : thread_([this, master] {
          while (!stop_.load()) {
            const std::string s = Sentence("GPTXT,01,01,02," + std::to_string(next_.load())) + "\r\n";
            if (::write(master, s.data(), s.size()) == static_cast<ssize_t>(s.size())) ++next_;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
          }
        }) {}
  ~Talker() {
    stop_.store(true);
    thread_.join();
  }
  int Next() const { return next_.load(); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> next_{0};
  std::thread thread_;
};

int HighestNumber(const LineListModel& lines) {
  int highest = -1;
  for (size_t i = 0; i < lines.count(); ++i) {
    const std::string_view line = lines.lineBytes(i);
    const size_t start = line.find("GPTXT,01,01,02,");
    if (start == std::string_view::npos) continue;
    const size_t star = line.find('*', start);
    if (star == std::string_view::npos) continue;
    const std::string number(line.substr(start + 15, star - start - 15));
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
      highest = std::max(highest, std::stoi(number));
  }
  return highest;
}

TEST_F(LiveReceive, DisconnectWhileDataFlowsThenConnectAgainManyTimes) {
  Talker talker(Pty.Master());
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    const int sentBefore = talker.Next();
    Connect();
    ASSERT_EQ(IsConnected, 1) << (Boxes.empty() ? "" : Boxes.back().second.toStdString());
    // Reception resumes: a sentence written after this connect shows up.
    ASSERT_TRUE(QTest::qWaitFor([&] { return HighestNumber(*Form->ListBox1Lines) >= sentBefore; }, kPatience.count()));
    Click(Form->ComBtn1);
    ASSERT_EQ(IsConnected, 0);
  }
  EXPECT_TRUE(Boxes.empty());
}

}  // namespace
