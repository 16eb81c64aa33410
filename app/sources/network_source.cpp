#include "app/sources/network_source.h"

#include "app/sources/gpsd_source.h"
#include "app/sources/tcp_source.h"
#include "app/sources/udp_source.h"

std::unique_ptr<NetworkSource> NetworkSource::Create(const SourceAddress& address, Handlers handlers) {
  switch (address.kind) {
    case SourceKind::Gpsd:
      return std::make_unique<GpsdSource>(address, std::move(handlers));
    case SourceKind::Tcp:
      return std::make_unique<TcpSource>(address, std::move(handlers));
    case SourceKind::Udp:
      return std::make_unique<UdpSource>(address, std::move(handlers));
  }
  return nullptr;
}

void NetworkSource::ReportConnected() {
  if (State != Opening) return;
  State = Live;
  if (Report.connected) Report.connected();
}

void NetworkSource::ReportData(const char* bytes, qsizetype length) {
  if (State == Live && length > 0 && Report.data) Report.data(bytes, length);
}

void NetworkSource::ReportFailed(const QString& reason) {
  if (State != Opening) return;
  State = Done;
  if (Report.failed) Report.failed(reason);
}

void NetworkSource::ReportClosed(const QString& reason) {
  if (State != Live) return;
  State = Done;
  if (Report.closed) Report.closed(reason);
}
