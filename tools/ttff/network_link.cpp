#include "network_link.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include "app/sources/network_source.h"
#include "app/sources/source_reader.h"

namespace ttff {

namespace {

class NetworkLink : public ReceiverLink {
 public:
  explicit NetworkLink(const std::string& source) : text_(QString::fromLocal8Bit(source)) {}
  ~NetworkLink() override {
    if (source_) source_->Close();
  }

  bool Open(Handlers handlers, std::string& error) override {
    handlers_ = std::move(handlers);
    QString problem;
    const std::optional<SourceAddress> address = ParseSource(text_, &problem);
    if (!address) {
      error = MalformedSourceText(text_, problem).toStdString();
      return false;
    }
    bool connected = false;
    QString failure;
    NetworkSource::Handlers report;
    report.connected = [&, this] {
      connected = true;
      Quit();
    };
    report.failed = [&, this](const QString& reason) {
      failure = CannotConnectText(text_, reason);
      Quit();
    };
    report.data = [this](const char* bytes, qsizetype length) {
      handlers_.bytes(reinterpret_cast<const uint8_t*>(bytes), static_cast<std::size_t>(length));
      Quit();
    };
    report.closed = [this](const QString& reason) {
      handlers_.gone("the receiver is gone (" + ConnectionClosedText(text_, reason).toStdString() + ")");
      Quit();
    };
    source_ = NetworkSource::Create(*address, std::move(report));
    source_->Open();
    // The source gives up on its own after its connection timeout.
    while (!connected && failure.isEmpty()) Run(-1, -1);
    error = failure.toStdString();
    return connected;
  }

  void Send(const std::string& bytes) override {
    QString why;
    if (!source_->SendToReceiver(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), &why)) {
      handlers_.gone("the restart command cannot reach the receiver: " + why.toStdString());
      return;
    }
    handlers_.sent();
  }

  Wake Wait(int ms, int stopFd) override { return Run(ms, stopFd) ? Wake::Stop : Wake::Ready; }

 private:
  // Runs the event loop until the source reports, `ms` pass (-1: no limit) or
  // `stopFd` becomes readable; true for the last.
  bool Run(int ms, int stopFd) {
    QEventLoop loop;
    loop_ = &loop;
    bool stopped = false;
    std::unique_ptr<QSocketNotifier> stop;
    if (stopFd >= 0) {
      stop = std::make_unique<QSocketNotifier>(stopFd, QSocketNotifier::Read);
      QObject::connect(stop.get(), &QSocketNotifier::activated, &loop, [&] {
        stopped = true;
        loop.quit();
      });
    }
    if (ms >= 0) QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    loop_ = nullptr;
    return stopped;
  }

  void Quit() {
    if (loop_) loop_->quit();
  }

  QString text_;
  Handlers handlers_;
  std::unique_ptr<NetworkSource> source_;
  QEventLoop* loop_ = nullptr;
};

}  // namespace

bool IsNetworkSource(const std::string& port) { return IsSourceText(QString::fromLocal8Bit(port)); }

std::unique_ptr<ReceiverLink> MakeNetworkLink(const std::string& source) {
  EnsureCoreApplication();
  return std::make_unique<NetworkLink>(source);
}

}  // namespace ttff
