// One refresh of the whole display with 36 satellites in view, and in GNSS mode
// with 64 (goal: under 2 ms each).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "app/window/application.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

namespace {

void FillRecordWith36Satellites() {
  NMEAParser.SentenceTotal = 1234;
  NMEAParser.GgaLat = 24.7870600;
  NMEAParser.GgaLon = -120.9970600;
  NMEAParser.GgaAltitude = 62.6;
  NMEAParser.GsaFixType = 3;
  NMEAParser.RmcYear = 2027;
  NMEAParser.RmcMonth = 3;
  NMEAParser.RmcDay = 8;
  NMEAParser.RmcUtcHour = 3;
  NMEAParser.RmcUtcMinute = 14;
  NMEAParser.RmcUtcSecond = 28;
  NMEAParser.RmcSpeedKnots = 2.7;
  NMEAParser.GsvInView = 36;
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    NMEAParser.GsvSat[i] = {static_cast<uint16_t>(i + 1), static_cast<uint16_t>(15 + i), i % 3 != 0,
                            static_cast<uint16_t>(i * 10), static_cast<uint16_t>(i * 5 % 90)};
  }
}

// The refresh itself: texts, grid, both charts drawn into their images.
void BM_UpdateNMEAWith36Satellites(benchmark::State& state) {
  CreateModuleObjects();  // the previous window's close released them
  TMainForm form;
  form.show();
  QCoreApplication::processEvents();
  FillRecordWith36Satellites();
  IsLogging = 1;
  for (auto _ : state) {
    ++TimerTicks;
    form.UpdateNMEA(1);
  }
  IsLogging = 0;
  form.close();
}
BENCHMARK(BM_UpdateNMEAWith36Satellites)->Unit(benchmark::kMicrosecond);

// The same followed by the repaint it causes, as the event loop runs it.
void BM_UpdateNMEAAndRepaintWith36Satellites(benchmark::State& state) {
  CreateModuleObjects();  // the previous window's close released them
  TMainForm form;
  form.show();
  QCoreApplication::processEvents();
  FillRecordWith36Satellites();
  for (auto _ : state) {
    ++TimerTicks;
    form.UpdateNMEA(1);
    QCoreApplication::processEvents();
  }
  form.close();
}
BENCHMARK(BM_UpdateNMEAAndRepaintWith36Satellites)->Unit(benchmark::kMicrosecond);

// GNSS mode with the decoder's full list: 64 satellites of six systems, two
// thirds of them used (goal: under 2 ms).
void BM_UpdateNMEAGnssWith64Satellites(benchmark::State& state) {
  CreateModuleObjects();
  TMainForm form;
  form.SetGnssMode(true);
  form.show();
  QCoreApplication::processEvents();
  FillRecordWith36Satellites();
  const GnssSystem systems[] = {GnssSystem::Gps,    GnssSystem::Glonass, GnssSystem::Galileo,
                                GnssSystem::BeiDou, GnssSystem::Qzss,    GnssSystem::Sbas};
  NMEAParser.GnssInView = CNMEAParser::kGnssTableSize;
  for (int i = 0; i < CNMEAParser::kGnssTableSize; ++i) {
    const GnssSystem system = systems[i % 6];
    const auto id = static_cast<uint16_t>(system == GnssSystem::Sbas ? 120 + i / 6 : 1 + i / 6);
    NMEAParser.GnssSats[i] = {system, id, id, static_cast<int16_t>(15 + i % 40), static_cast<int16_t>(i * 37 % 360),
                              static_cast<int16_t>(i * 7 % 90), i % 3 != 0};
  }
  for (auto _ : state) {
    ++TimerTicks;
    form.UpdateNMEA(1);
  }
  form.SetGnssMode(false);
  form.close();
}
BENCHMARK(BM_UpdateNMEAGnssWith64Satellites)->Unit(benchmark::kMicrosecond);

}  // namespace
