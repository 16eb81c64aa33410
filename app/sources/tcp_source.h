#pragma once

#include <QTcpSocket>
#include <QTimer>

#include "app/sources/network_source.h"

// tcp://HOST:PORT: whatever the server sends is the receiver's byte stream,
// and commands are written back on the same connection.
class TcpSource : public NetworkSource {
  Q_OBJECT

 public:
  TcpSource(const SourceAddress& address, Handlers handlers);
  ~TcpSource() override;

  void Open() override;
  void Close() override;
  bool SendToReceiver(const QByteArray& bytes, QString* why) override;

 protected:
  // The connection is up; a plain server counts as connected from here.
  virtual void OnSocketConnected();
  virtual void OnBytes(const char* bytes, qsizetype length) { ReportData(bytes, length); }
  // Why opening failed after the connection itself was made.
  virtual QString LateFailureReason(const QString& socketReason) const { return socketReason; }
  void Fail(const QString& reason);

  const SourceAddress Address;
  QTcpSocket Socket;
  QTimer Deadline;

 private:
  void OnReadyRead();
  void OnError(QAbstractSocket::SocketError error);
  bool SocketUp = false;
};
