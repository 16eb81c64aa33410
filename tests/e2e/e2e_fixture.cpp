#include "e2e_fixture.h"

#include <QFile>
#include <QTest>

#include <cmath>
#include <exception>

#include "app/logging/nmea_log_name.h"

void E2eFixture::SetUp() {
  FormFixture::SetUp();
  ASSERT_TRUE(Work.isValid());
  LogFolder = Work.path();
  ShowForm();
}

void E2eFixture::TearDown() {
  if (Form && IsConnected != 0) {
    try {
      Form->ComBtn1Click();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "disconnecting at the end failed: " << e.what();
    }
  }
  Sims.clear();
  LogFolder.clear();
  FormFixture::TearDown();
}

SimProcess* E2eFixture::StartSim(const QStringList& args) {
  auto sim = std::make_unique<SimProcess>();
  const auto started = sim->Start(args, WorkPath(QStringLiteral("sim%1.err").arg(Sims.size() + 1)));
  if (!started) {
    ADD_FAILURE() << started.message();
    return nullptr;
  }
  Sims.push_back(std::move(sim));
  return Sims.back().get();
}

void E2eFixture::Connect(const QString& device, int baud) {
  Form->ComComboBox1->setEditText(device);
  Form->BaudComboBox1->setEditText(QString::number(baud));
  Form->ComBtn1Click();
}

bool E2eFixture::WaitFor(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor(done, timeoutMs);
}

bool E2eFixture::WaitForTicks(int ticks, int timeoutMs) {
  const int target = TimerTicks + ticks;
  return WaitFor([&] { return TimerTicks >= target; }, timeoutMs);
}

QByteArray E2eFixture::ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QRgb E2eFixture::SatelliteColour(bool inSolution, int fixType) {
  if (!inSolution) return qRgb(0x80, 0x80, 0x80);
  return fixType == 3 ? qRgb(0, 0, 0xFF) : qRgb(0xFF, 0, 0);
}

void E2eFixture::ExpectSatellitesDrawn() {
  const int count = std::min<int>(NMEAParser.GsvInView, CNMEAParser::kSatTableSize);
  ASSERT_GT(count, 0) << "no satellites decoded";
  const QImage& chart = Form->Image2->Canvas();
  // The refresh draws the sky on the image it has just hidden.
  const QImage& sky = (TimerTicks % 2 != 0 ? Form->Image1 : Form->Image3)->Canvas();
  const int h = chart.height();

  struct Dot {
    int x, y;
    QRgb colour;
  };
  std::vector<Dot> dots;
  int barsChecked = 0;
  for (int i = 0; i < count; ++i) {
    const SatEntry& sat = NMEAParser.GsvSat[i];
    const QRgb colour = SatelliteColour(sat.InSolution != 0, NMEAParser.GsaFixType);
    if (i < 12) {
      const QTableWidgetItem* cell = Form->StringGrid1->item(0, i + 1);
      ASSERT_NE(cell, nullptr);
      EXPECT_EQ(cell->text(), QString::number(sat.Prn)) << "grid column " << i + 1;
    }
    // Inside the bar just below its outline, well above its value label.
    const int barX = 26 * i + 39;
    const int barY = h - 2 * sat.Snr - 17;
    if (sat.Snr >= 25 && barX < chart.width() && barY > 0) {
      EXPECT_EQ(chart.pixel(barX, barY) & 0xFFFFFF, colour & 0xFFFFFF)
          << "bar of PRN " << sat.Prn << " (SNR " << sat.Snr << ") at " << barX << "," << barY;
      ++barsChecked;
    }
    // Centred on the ring of its elevation: 78 pixels from (91, 90) at the horizon.
    const double angle = sat.Azimuth * 3.141592653589793 / 180.0;
    const double radius = 78.0 * (90 - static_cast<int>(sat.Elevation)) / 90.0;
    dots.push_back({static_cast<int>(std::lround(91 + radius * std::sin(angle))),
                    static_cast<int>(std::lround(90 - radius * std::cos(angle))), colour});
  }
  EXPECT_GT(barsChecked, 0) << "no satellite strong enough to check its bar";

  // A dot's left part, clear of its outline and of its number; later dots
  // are drawn over earlier ones, so only dots nobody covers are checked.
  int dotsChecked = 0;
  for (size_t i = 0; i < dots.size(); ++i) {
    const QPoint probe(dots[i].x - 8, dots[i].y);
    bool covered = false;
    for (size_t j = i + 1; j < dots.size(); ++j) {
      covered = covered || QRect(dots[j].x - 10, dots[j].y - 10, 20, 20).adjusted(-2, -2, 2, 2).contains(probe);
    }
    if (covered || !sky.rect().contains(probe)) continue;
    EXPECT_EQ(sky.pixel(probe) & 0xFFFFFF, dots[i].colour & 0xFFFFFF)
        << "sky dot of PRN " << NMEAParser.GsvSat[i].Prn << " at " << probe.x() << "," << probe.y();
    ++dotsChecked;
  }
  EXPECT_GT(dotsChecked, 0) << "every sky dot was covered by another";
}

std::string E2eFixture::Fields() const {
  return QStringLiteral("lat '%1' lon '%2' alt '%3' fix '%4' time '%5' ttff '%6' speed '%7'")
      .arg(Form->LatitudeEdit1->text(), Form->LongitudeEdit1->text(), Form->AltitudeEdit1->text(),
           Form->FixEdit1->text(), Form->GPSTimeEdit1->text(), Form->TTFFEdit1->text(), Form->SpeedEdit->text())
      .toStdString();
}
