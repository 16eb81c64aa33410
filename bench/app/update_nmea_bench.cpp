// One refresh of the whole display with 36 satellites in view, and in GNSS mode
// with 64 (goal: under 2 ms each).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <string>
#include <vector>

#include "app/window/application.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"
#include "nmea/restart_commands.h"

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

// GNSS mode's full list, as the decoder reads it from a GN receiver's
// sentences: 64 satellites of six systems, two thirds of them used.
void FeedGnssSky() {
  const auto feed = [](const std::string& body) {
    const std::string sentence = restart::WithNmeaChecksum(body);
    NMEAParser.FeedBytes(sentence.data(), static_cast<uint32_t>(sentence.size()));
  };
  // The GN talker's numbers of GPS, GLONASS, Galileo, BeiDou, QZSS and SBAS
  // satellite 1 + i / 6 (SBAS 120 + i / 6).
  constexpr int kFirstNumber[] = {1, 65, 301, 401, 193, 120};
  feed("GNGGA,120000.00,2447.2236,N,12059.8236,W,1,42,0.8,62.6,M,17.0,M,,");
  std::string gsv;
  std::vector<int> used;
  for (int i = 0; i < 64; ++i) {
    const int number = kFirstNumber[i % 6] + i / 6;
    if (i % 4 == 0) gsv = "GNGSV,16," + std::to_string(i / 4 + 1) + ",64";
    gsv += "," + std::to_string(number) + "," + std::to_string(i * 7 % 90) + "," + std::to_string(i * 37 % 360) + "," +
           std::to_string(15 + i % 40);
    if (i % 4 == 3) feed(gsv);
    if (i % 3 != 0) used.push_back(number);
  }
  // Twelve numbers a GSA, all in the fix epoch of the GGA.
  for (size_t first = 0; first < used.size(); first += 12) {
    std::string gsa = "GNGSA,A,3";
    for (size_t k = first; k < first + 12; ++k) gsa += "," + (k < used.size() ? std::to_string(used[k]) : "");
    feed(gsa + ",1.5,0.8,1.2");
  }
}

struct Refresh {
  bool gnss = false;     // GNSS mode with the decoder's full list
  bool repaint = false;  // followed by the repaint it causes, as the event loop runs it
  bool logging = false;
};

// The refresh itself: texts, grid, both charts drawn into their images.
void UpdateNMEA(benchmark::State& state, Refresh r) {
  CreateModuleObjects();  // the previous window's close released them
  TMainForm form;
  if (r.gnss) form.SetGnssMode(true);
  form.show();
  QCoreApplication::processEvents();
  if (r.gnss) FeedGnssSky();
  FillRecordWith36Satellites();
  IsLogging = r.logging ? 1 : 0;
  for (auto _ : state) {
    ++TimerTicks;
    form.UpdateNMEA(1);
    if (r.repaint) QCoreApplication::processEvents();
  }
  IsLogging = 0;
  if (r.gnss) form.SetGnssMode(false);
  form.close();
}
BENCHMARK_CAPTURE(UpdateNMEA, With36Satellites, Refresh{.logging = true})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(UpdateNMEA, AndRepaintWith36Satellites, Refresh{.repaint = true})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(UpdateNMEA, GnssWith64Satellites, Refresh{.gnss = true})->Unit(benchmark::kMicrosecond);

}  // namespace
