#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "app/sources/source_address.h"

// A receiver reached over the network. Opening runs in the background (name
// lookup, connection, gpsd's greeting) and ends in exactly one of `connected`
// or `failed`; a connected source that goes away reports `closed` once.
// Nothing is reported after Close().
class NetworkSource : public QObject {
  Q_OBJECT

 public:
  struct Handlers {
    std::function<void()> connected;
    std::function<void(const char* bytes, qsizetype length)> data;
    std::function<void(const QString& reason)> failed;
    std::function<void(const QString& reason)> closed;
  };

  static std::unique_ptr<NetworkSource> Create(const SourceAddress& address, Handlers handlers);

  virtual void Open() = 0;
  virtual void Close() = 0;
  // Whether commands can reach the receiver at all (a datagram listener has
  // no way back to it).
  virtual bool CanSend() const { return true; }
  // Passes command bytes to the receiver; false with `why` when they cannot go.
  virtual bool SendToReceiver(const QByteArray& bytes, QString* why) = 0;

 protected:
  explicit NetworkSource(Handlers handlers) : Report(std::move(handlers)) {}

  void ReportConnected();
  void ReportData(const char* bytes, qsizetype length);
  void ReportFailed(const QString& reason);
  void ReportClosed(const QString& reason);
  // Stops all reporting: the owner has closed the source or heard its end.
  void Silence() { State = Done; }
  bool IsConnected() const { return State == Live; }
  bool IsClosed() const { return State == Done; }

 private:
  enum { Opening, Live, Done } State = Opening;
  Handlers Report;
};

// The reasons the user reads under "Cannot connect to <source>."
inline constexpr const char* kRefusedReason = "Connection refused";
inline constexpr const char* kHostNotFoundReason = "Host not found";
inline constexpr const char* kNoAnswerReason = "No answer within 5 s";
inline constexpr const char* kNotGpsdReason = "Not a gpsd (no VERSION banner)";
inline constexpr int kConnectTimeoutMs = 5000;
