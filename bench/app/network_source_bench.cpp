// Bytes through a tcp:// source into the window's receive path and decoder
// (goal: at least 10 MB/s), and how long a sentence takes from arriving on the
// connection to the list (goal: within 150 ms, as from a serial port).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

#include "app/dialogs/message_box.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

namespace {

constexpr qint64 kMegabytes = 20;

QByteArray OneMegabyteOfSentences() {
  const QByteArray cycle =
      "$GPGGA,031428.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,*5C\r\n"
      "$GPGSA,A,3,02,05,12,15,18,21,25,26,29,,,,1.8,0.9,1.5*3C\r\n"
      "$GPRMC,031428.00,A,2447.2236,N,12059.8236,E,0.0,0.0,070324,,,A*6E\r\n";
  QByteArray block;
  while (block.size() < (1 << 20)) block += cycle;
  return block;
}

// The window connected to a server of this process that hands each client to `serve`.
struct Rig {
  explicit Rig(std::function<void(QTcpSocket*)> serve) {
    SetMessageBoxSink([](QMessageBox::Icon, const QString&) {});
    CreateModuleObjects();
    form.show();
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this, serve] { serve(server.nextPendingConnection()); });
    form.ComComboBox1->setEditText(QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()));
  }
  ~Rig() {
    if (IsConnected != 0) form.ComBtn1Click();
    SetMessageBoxSink({});
  }
  TMainForm form;
  QTcpServer server;
};

void BM_TcpBytesIntoTheDecoder(benchmark::State& state) {
  static const QByteArray block = OneMegabyteOfSentences();
  Rig rig([](QTcpSocket* client) {
    for (int i = 0; i < kMegabytes; ++i) client->write(block);
    client->disconnectFromHost();
  });
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    rig.form.ComBtn1Click();
    // The server closes once all is sent; the window then disconnects.
    while (IsConnected != 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    state.counters["lines"] = static_cast<double>(rig.form.ListBox1Lines->count());
  }
  state.SetBytesProcessed(state.iterations() * kMegabytes * block.size());
}
BENCHMARK(BM_TcpBytesIntoTheDecoder)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

void BM_TcpSentenceToTheList(benchmark::State& state) {
  QTcpSocket* client = nullptr;
  Rig rig([&client](QTcpSocket* c) { client = c; });
  rig.form.ComBtn1Click();
  while (client == nullptr) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  double worstMs = 0;
  for (auto _ : state) {
    const size_t before = rig.form.ListBox1Lines->count();
    QElapsedTimer clock;
    clock.start();
    client->write("$GPGGA,031428.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,*5C\r\n");
    client->flush();
    while (rig.form.ListBox1Lines->count() == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
    const double ms = clock.nsecsElapsed() / 1e6;
    worstMs = std::max(worstMs, ms);
    state.SetIterationTime(ms / 1000);
  }
  state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_TcpSentenceToTheList)->Unit(benchmark::kMillisecond)->Iterations(50)->UseManualTime();

}  // namespace
