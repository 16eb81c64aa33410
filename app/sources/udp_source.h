#pragma once

#include <QHostAddress>
#include <QUdpSocket>

#include "app/sources/network_source.h"

// udp://[ADDRESS]:PORT: listens for datagrams, each a piece of the stream.
// Nothing goes back to the sender.
class UdpSource : public NetworkSource {
  Q_OBJECT

 public:
  UdpSource(const SourceAddress& address, Handlers handlers);
  ~UdpSource() override;

  void Open() override;
  void Close() override;
  bool CanSend() const override { return false; }
  bool SendToReceiver(const QByteArray&, QString* why) override;

 private:
  void Bind(const QHostAddress& address);
  void OnReadyRead();

  const SourceAddress Address;
  QUdpSocket Socket;
  int Lookup = -1;
};
