#include "app/sources/tcp_source.h"

namespace {

// Reads in pieces this size: a server that sends faster than the window
// takes it still hands over bounded chunks.
constexpr qint64 kReadChunk = 64 * 1024;

QString ConnectReason(QAbstractSocket::SocketError error, const QString& fallback) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return QString::fromLatin1(kRefusedReason);
    case QAbstractSocket::HostNotFoundError:
      return QString::fromLatin1(kHostNotFoundReason);
    case QAbstractSocket::SocketTimeoutError:
      return QString::fromLatin1(kNoAnswerReason);
    default:
      return fallback;
  }
}

}  // namespace

TcpSource::TcpSource(const SourceAddress& address, Handlers handlers)
    : NetworkSource(std::move(handlers)), Address(address) {
  Deadline.setSingleShot(true);
  Deadline.setInterval(kConnectTimeoutMs);
  connect(&Deadline, &QTimer::timeout, this, [this] {
    const QString reason = QString::fromLatin1(kNoAnswerReason);
    Fail(SocketUp ? LateFailureReason(reason) : reason);
  });
  connect(&Socket, &QTcpSocket::connected, this, [this] {
    SocketUp = true;
    OnSocketConnected();
  });
  connect(&Socket, &QTcpSocket::readyRead, this, &TcpSource::OnReadyRead);
  connect(&Socket, &QTcpSocket::errorOccurred, this, &TcpSource::OnError);
}

TcpSource::~TcpSource() { Close(); }

void TcpSource::Open() {
  Deadline.start();
  Socket.connectToHost(Address.host, Address.port, QIODevice::ReadWrite);
}

void TcpSource::Close() {
  Silence();
  Deadline.stop();
  Socket.disconnect(this);
  Socket.abort();
}

bool TcpSource::SendToReceiver(const QByteArray& bytes, QString* why) {
  if (Socket.state() != QAbstractSocket::ConnectedState || Socket.write(bytes) != bytes.size()) {
    if (why) *why = Socket.errorString();
    return false;
  }
  return true;
}

void TcpSource::OnSocketConnected() {
  Deadline.stop();
  ReportConnected();
}

void TcpSource::Fail(const QString& reason) {
  Deadline.stop();
  Socket.disconnect(this);
  Socket.abort();
  ReportFailed(reason);
}

void TcpSource::OnReadyRead() {
  char buffer[kReadChunk];
  for (;;) {
    const qint64 n = Socket.read(buffer, sizeof buffer);
    if (n <= 0) break;
    OnBytes(buffer, n);
    // A handler may have closed the source.
    if (Socket.state() == QAbstractSocket::UnconnectedState) break;
  }
}

void TcpSource::OnError(QAbstractSocket::SocketError error) {
  const QString text = Socket.errorString();
  if (IsConnected()) {
    Deadline.stop();
    ReportClosed(text);
    return;
  }
  Fail(SocketUp ? LateFailureReason(text) : ConnectReason(error, text));
}
