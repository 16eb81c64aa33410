#pragma once

#include "app/sources/gpsd_stream.h"
#include "app/sources/tcp_source.h"

// gpsd://: a gpsd client that asks for the receivers' NMEA. The connection
// counts as made once gpsd has greeted with its VERSION report; only the NMEA
// lines it relays reach the receive path.
class GpsdSource : public TcpSource {
  Q_OBJECT

 public:
  GpsdSource(const SourceAddress& address, Handlers handlers);

  // gpsd takes bytes for a receiver only on its control socket, a local
  // socket named by GPSD_SOCKET or at its usual place.
  bool SendToReceiver(const QByteArray& bytes, QString* why) override;

 protected:
  void OnSocketConnected() override {}
  void OnBytes(const char* bytes, qsizetype length) override;
  QString LateFailureReason(const QString&) const override { return QString::fromLatin1(kNotGpsdReason); }

 private:
  void OnJson(std::string_view line);

  GpsdStream Stream;
  bool Greeted = false;
  // A whole line came before the greeting: whatever this is, it is no gpsd.
  bool Ungreeted = false;
  // The receiver gpsd relays: the one asked for, else the first it reports.
  QString Device;
};

// The text asking gpsd for NMEA from every receiver, or from `device`.
QByteArray GpsdWatchRequest(const QString& device);
