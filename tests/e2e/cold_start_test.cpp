#include <QObject>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace {

struct ColdStartCase {
  int chip;  // ChipComboBox entry: 0 "Auto Chip Select", 1 "Skytraq", 2 "SiRF"
  int baud;
  const char* expected;  // what the simulator reports
};

void PrintTo(const ColdStartCase& c, std::ostream* os) { *os << "chip " << c.chip << " at " << c.baud; }

constexpr int kAcquireSeconds = 6;

std::string CaseName(const ::testing::TestParamInfo<ColdStartCase>& info) {
  static const char* const names[] = {"Auto", "Skytraq", "SiRF"};
  return std::string(names[info.param.chip]) + "At" + std::to_string(info.param.baud);
}

class ColdStartE2e : public E2eFixture, public ::testing::WithParamInterface<ColdStartCase> {};

}  // namespace

TEST_P(ColdStartE2e, ReceiverSeesOneCommandAndTtffStopsAtItsAcquisitionTime) {
  const ColdStartCase c = GetParam();
  SimProcess* sim = StartSim({"--baud", QString::number(c.baud), "--acquire", QString::number(kAcquireSeconds)});
  ASSERT_NE(sim, nullptr);
  Connect(sim->Device(), c.baud);
  ASSERT_EQ(IsConnected, 1);
  ASSERT_TRUE(WaitFor([&] { return Form->ListBox1Lines->count() > 0; }, kPatienceMs)) << "no data from the simulator";
  ASSERT_NE(Form->FixEdit1->text(), QLatin1String("3D Fix")) << "the receiver had its fix before the cold start";

  Form->ChipComboBox->setCurrentIndex(c.chip);
  Form->ColdStartButton1Click();
  EXPECT_EQ(IsConnected, 1);
  EXPECT_TRUE(Form->ColdStartButton1->isEnabled());
  EXPECT_TRUE(Form->NMEATimer->isActive());

  // The count as each refresh leaves it, from the first refresh after the restart.
  std::vector<int> counts;
  const QMetaObject::Connection sampler =
      QObject::connect(Form->NMEATimer, &QTimer::timeout, Form.get(), [&] { counts.push_back(TTFFCount); });
  const bool fixed = WaitFor([&] { return Form->FixEdit1->text() == QLatin1String("3D Fix"); },
                             (kAcquireSeconds + 10) * 1000);
  // Two more refreshes with the fix: the count must stay where it stopped.
  const bool ticked = WaitForTicks(2, 5000);
  QObject::disconnect(sampler);

  EXPECT_TRUE(WaitFor([&] { return !sim->StderrLines(QStringLiteral("cold start:")).isEmpty(); }, 2000));
  const QString simErr = sim->Stderr();
  EXPECT_EQ(sim->StderrLines(QStringLiteral("cold start:")), QStringList{QString::fromLatin1(c.expected)}) << simErr.toStdString();
  EXPECT_TRUE(sim->StderrLines(QStringLiteral("ignored input")).isEmpty()) << simErr.toStdString();

  ASSERT_TRUE(fixed) << "no 3D fix after the cold start: " << Fields() << "\nsimulator: " << simErr.toStdString();
  ASSERT_TRUE(ticked);
  ASSERT_GE(counts.size(), 3U);
  const int ttff = TTFFCount;
  for (size_t i = 0; i < counts.size(); ++i) {
    // Counting from 1, one step per refresh, then holding still.
    const int expected = std::min(static_cast<int>(i) + 1, ttff);
    EXPECT_EQ(counts[i], expected) << "refresh " << i + 1 << " after the cold start";
  }
  EXPECT_EQ(counts.back(), ttff);
  EXPECT_EQ(Form->TTFFEdit1->text(), QStringLiteral("%1 Sec").arg(ttff));
  std::printf("cold start (chip %d, %d baud): TTFF %d s for a %d s acquisition, error %+d s\n", c.chip, c.baud, ttff,
              kAcquireSeconds, ttff - kAcquireSeconds);
  RecordProperty("ttff_error_s", ttff - kAcquireSeconds);
  EXPECT_LE(std::abs(ttff - kAcquireSeconds), 1) << "TTFF " << ttff << " s";
}

INSTANTIATE_TEST_SUITE_P(Chips, ColdStartE2e,
                         ::testing::Values(ColdStartCase{0, 9600, "cold start: Skytraq"},
                                           ColdStartCase{0, 38400, "cold start: SiRF"},
                                           ColdStartCase{1, 38400, "cold start: Skytraq"},
                                           ColdStartCase{2, 9600, "cold start: SiRF"}),
                         CaseName);
