#include "app/sources/source_reader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <csignal>

#include "app/sources/network_source.h"

namespace {

volatile std::sig_atomic_t Interrupted = 0;

void OnInterrupt(int) { Interrupted = 1; }

constexpr int kInterruptCheckMs = 50;

}  // namespace

void EnsureCoreApplication() {
  static int argc = 1;
  static char program[] = "quorvane";
  static char* argv[] = {program, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

QString CannotConnectText(const QString& source, const QString& reason) {
  return QStringLiteral("Cannot connect to %1.\n%2").arg(source, reason);
}

QString ConnectionClosedText(const QString& source, const QString& reason) {
  return QStringLiteral("Connection closed: %1: %2").arg(source, reason);
}

SourceReading ReadSource(const QString& text, double seconds,
                         const std::function<void(const char* bytes, qsizetype length)>& onBytes) {
  SourceReading reading;
  QString problem;
  const std::optional<SourceAddress> address = ParseSource(text, &problem);
  if (!address) {
    reading.failure = MalformedSourceText(text, problem);
    return reading;
  }

  QEventLoop loop;
  NetworkSource::Handlers handlers;
  handlers.data = onBytes;
  handlers.failed = [&](const QString& reason) {
    reading.failure = CannotConnectText(text, reason);
    loop.quit();
  };
  handlers.closed = [&](const QString& reason) {
    reading.ended = ConnectionClosedText(text, reason);
    loop.quit();
  };
  const std::unique_ptr<NetworkSource> source = NetworkSource::Create(*address, std::move(handlers));

  // Ctrl+C ends the reading early; what was read still counts.
  Interrupted = 0;
  struct sigaction action {}, previous{};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous);
  // The time is watched on the same tick: a month of milliseconds does not
  // fit a timer's interval.
  QElapsedTimer clock;
  clock.start();
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
    if (Interrupted || (seconds > 0 && clock.elapsed() >= seconds * 1000)) loop.quit();
  });
  watch.start(kInterruptCheckMs);

  source->Open();
  loop.exec();
  source->Close();
  sigaction(SIGINT, &previous, nullptr);
  reading.interrupted = Interrupted != 0;
  return reading;
}
