#include <QTimer>

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "app/dialogs/message_box.h"
#include "app/link/port_poll.h"
#include "app/settings/settings.h"
#include "app/sources/network_source.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

// A receiver behind gpsd or on the network in place of the serial port: its
// bytes take the serial port's receive path, and losing it is handled as an
// unplugged receiver.

namespace {

constexpr qsizetype kRecentSources = 5;

// The port box offers the sources used last, the latest first.
void RememberSource(QComboBox& box, const QString& source) {
  QStringList recent = RecentSourcesSetting();
  recent.removeAll(source);
  recent.prepend(source);
  recent = recent.mid(0, kRecentSources);
  SaveRecentSourcesSetting(recent);
  ShowRecentSources(box, recent);
}

}  // namespace

std::unique_ptr<NetworkSource> TMainForm::PrepareSource(const QString& text) {
  if (!IsSourceText(text)) return nullptr;
  QString problem;
  const std::optional<SourceAddress> address = ParseSource(text, &problem);
  if (!address) throw std::invalid_argument(MalformedSourceText(text, problem).toStdString());

  // Each report checks that it comes from the window's current source: one
  // from a source the user has since closed, still queued, is dropped.
  auto self = std::make_shared<const NetworkSource*>(nullptr);
  NetworkSource::Handlers handlers;
  handlers.connected = [this, self] {
    if (Source.get() == *self && Source->CanSend()) ColdStartButton1->setEnabled(true);
  };
  handlers.data = [this, self](const char* bytes, qsizetype length) {
    // The receive path takes up to 64 KB at a time. Each delivery ends in a
    // list update whose cost grows with the list, so a fast server is handed
    // on in the largest pieces rather than in serial-sized ones.
    constexpr qsizetype kPiece = std::numeric_limits<uint16_t>::max();
    // An error (a log that cannot be written) is reported as the serial
    // port's deliveries report it.
    RunReported([&] {
      for (qsizetype at = 0; at < length && Source.get() == *self; at += kPiece) {
        Comm1ReceiveData(&Comm1, reinterpret_cast<const uint8_t*>(bytes + at),
                         static_cast<uint16_t>(std::min(kPiece, length - at)));
      }
    });
  };
  // Both ends are handled from the event loop: the source must not be
  // released inside its own report, and a box's event loop must not run
  // inside it either.
  handlers.failed = [this, self](const QString& reason) {
    QTimer::singleShot(0, this, [this, self, reason] {
      if (Source.get() == *self) RunReported([&] { SourceFailed(reason); });
    });
  };
  handlers.closed = [this, self](const QString& reason) {
    QTimer::singleShot(0, this, [this, self, reason] {
      if (Source.get() == *self) RunReported([&] { SourceClosed(reason); });
    });
  };
  std::unique_ptr<NetworkSource> source = NetworkSource::Create(*address, std::move(handlers));
  *self = source.get();
  return source;
}

void TMainForm::StartSource(std::unique_ptr<NetworkSource> source, const QString& text) {
  StopSource();
  Source = std::move(source);
  SourceText = text.trimmed();
  RememberSource(*ComComboBox1, SourceText);
  Source->Open();
}

bool TMainForm::StopSource() {
  if (!Source) return false;
  Source->Close();
  // It may be inside one of its own signals right now.
  Source.release()->deleteLater();
  return true;
}

void TMainForm::SourceFailed(const QString& reason) {
  if (IsConnected == 0) return;
  ComBtn1Click();
  ShowWarning(QStringLiteral("Cannot connect to %1.\n%2").arg(SourceText, reason));
}

void TMainForm::SourceClosed(const QString& reason) {
  if (IsConnected == 0) return;
  ComBtn1Click();
  // As for an unplugged receiver: its fix and satellites are no longer current.
  NMEAParser.ResetRecord();
  RefreshOnce();
  ShowWarning(QStringLiteral("Connection closed: %1: %2").arg(SourceText, reason));
}

bool TMainForm::ColdStartSource(const QByteArray& command) {
  QString why;
  const bool sent = Source->SendToReceiver(command, &why);
  if (sent) {
    // The receiver restarts on the same connection: what follows is a new
    // stream, and the time to its first fix counts from here.
    ClearForNewStream();
  }
  ColdStartButton1->setEnabled(true);
  if (!sent) ShowMessage(QStringLiteral("The cold start was not sent to the receiver: %1").arg(why));
  return sent;
}
