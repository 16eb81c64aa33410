#include "app/sources/udp_source.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QTimer>

UdpSource::UdpSource(const SourceAddress& address, Handlers handlers)
    : NetworkSource(std::move(handlers)), Address(address) {
  connect(&Socket, &QUdpSocket::readyRead, this, &UdpSource::OnReadyRead);
  connect(&Socket, &QUdpSocket::errorOccurred, this, [this] {
    if (IsConnected()) ReportClosed(Socket.errorString());
  });
}

UdpSource::~UdpSource() { Close(); }

void UdpSource::Open() {
  // Reported from the event loop, as a connection would be: the owner is
  // not yet ready for an answer inside Open().
  if (Address.host.isEmpty()) {
    QTimer::singleShot(0, this, [this] { Bind(QHostAddress::Any); });
    return;
  }
  if (const QHostAddress literal(Address.host); !literal.isNull()) {
    QTimer::singleShot(0, this, [this, literal] { Bind(literal); });
    return;
  }
  Lookup = QHostInfo::lookupHost(Address.host, this, [this](const QHostInfo& info) {
    Lookup = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
      ReportFailed(QString::fromLatin1(kHostNotFoundReason));
      return;
    }
    Bind(info.addresses().first());
  });
}

void UdpSource::Close() {
  Silence();
  if (Lookup >= 0) QHostInfo::abortHostLookup(Lookup);
  Lookup = -1;
  Socket.disconnect(this);
  Socket.abort();
}

bool UdpSource::SendToReceiver(const QByteArray&, QString* why) {
  *why = QStringLiteral("a UDP source has no way back to the receiver");
  return false;
}

void UdpSource::Bind(const QHostAddress& address) {
  // Closed before its turn came: the port stays free for the next source.
  if (IsClosed()) return;
  if (!Socket.bind(address, Address.port)) {
    ReportFailed(Socket.errorString());
    return;
  }
  ReportConnected();
}

void UdpSource::OnReadyRead() {
  while (Socket.hasPendingDatagrams()) {
    const QNetworkDatagram datagram = Socket.receiveDatagram();
    const QByteArray bytes = datagram.data();
    ReportData(bytes.constData(), bytes.size());
  }
}
