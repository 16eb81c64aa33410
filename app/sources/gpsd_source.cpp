#include "app/sources/gpsd_source.h"

#include <QDir>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

namespace {

constexpr int kControlWaitMs = 1000;

// The control socket only exists on gpsd's own machine.
bool IsThisMachine(const QString& host) {
  return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

QStringList ControlSocketPaths() {
  const QString named = qEnvironmentVariable("GPSD_SOCKET");
  if (!named.isEmpty()) return {named};
  return {QStringLiteral("/run/gpsd.sock"), QStringLiteral("/var/run/gpsd.sock")};
}

}  // namespace

QByteArray GpsdWatchRequest(const QString& device) {
  QJsonObject watch{{QStringLiteral("enable"), true}, {QStringLiteral("nmea"), true}};
  if (!device.isEmpty()) watch.insert(QStringLiteral("device"), device);
  return "?WATCH=" + QJsonDocument(watch).toJson(QJsonDocument::Compact) + "\n";
}

GpsdSource::GpsdSource(const SourceAddress& address, Handlers handlers)
    : TcpSource(address, std::move(handlers)),
      Stream(
          [this](std::string_view nmea) {
            Ungreeted = Ungreeted || !Greeted;
            ReportData(nmea.data(), static_cast<qsizetype>(nmea.size()));
          },
             [this](std::string_view json) { OnJson(json); }),
      Device(address.device) {}

void GpsdSource::OnBytes(const char* bytes, qsizetype length) {
  // Before the greeting nothing is the receiver's: a server that talks
  // without being a gpsd must not feed the window. The greeting itself may
  // come in pieces.
  Stream.Feed(bytes, static_cast<size_t>(length));
  if (Ungreeted) Fail(QString::fromLatin1(kNotGpsdReason));
}

void GpsdSource::OnJson(std::string_view line) {
  const QJsonObject report =
      QJsonDocument::fromJson(QByteArray(line.data(), static_cast<qsizetype>(line.size()))).object();
  const QString kind = report.value(QStringLiteral("class")).toString();
  if (!Greeted) {
    if (kind != QLatin1String("VERSION")) {
      Ungreeted = true;
      return;
    }
    Greeted = true;
    Socket.write(GpsdWatchRequest(Address.device));
    Deadline.stop();
    ReportConnected();
    return;
  }
  if (!Device.isEmpty()) return;
  if (kind == QLatin1String("DEVICES")) {
    Device = report.value(QStringLiteral("devices")).toArray().first().toObject().value(QStringLiteral("path")).toString();
  } else if (kind == QLatin1String("DEVICE")) {
    Device = report.value(QStringLiteral("path")).toString();
  }
}

bool GpsdSource::SendToReceiver(const QByteArray& bytes, QString* why) {
  if (!IsThisMachine(Address.host)) {
    *why = QStringLiteral("gpsd takes commands for a receiver only on its own machine, and %1 is another").arg(Address.host);
    return false;
  }
  if (Device.isEmpty()) {
    *why = QStringLiteral("gpsd has not said which receiver it relays");
    return false;
  }
  QString failures;
  for (const QString& path : ControlSocketPaths()) {
    QLocalSocket control;
    control.connectToServer(path);
    if (!control.waitForConnected(kControlWaitMs)) {
      failures += QStringLiteral("\n%1: %2").arg(QDir::toNativeSeparators(path), control.errorString());
      continue;
    }
    // '&' sends the bytes given in hexadecimal, unchanged, to the named device.
    control.write("&" + Device.toLocal8Bit() + "=" + bytes.toHex() + "\n");
    control.waitForBytesWritten(kControlWaitMs);
    QByteArray answer;
    while (!answer.contains('\n') && control.waitForReadyRead(kControlWaitMs)) answer += control.readAll();
    if (answer.startsWith("OK")) return true;
    *why = QStringLiteral("gpsd refused to pass it to %1 (%2)").arg(Device, QString::fromLatin1(answer.trimmed()));
    return false;
  }
  *why = QStringLiteral("gpsd's control socket, through which it passes commands to a receiver, cannot be used:") +
         failures;
  return false;
}
