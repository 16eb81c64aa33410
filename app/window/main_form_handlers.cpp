#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <exception>
#include <thread>

#include "app/window/bitmaps.h"
#include "app/link/connect_rules.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"
#include "app/dialogs/message_box.h"
#include "app/logging/nmea_log_name.h"
#include "serial/open_failure.h"
#include "app/sources/gpsd_hint.h"
#include "app/sources/network_source.h"
#include "app/views/signal_chart.h"
#include "app/stats/stats_window.h"

// Connection, cold start and logging handlers, wired to their controls already.

namespace {

constexpr auto kColdStartWait = std::chrono::milliseconds(200);

// The glyph, hint and enabled states of the connected and the idle mode.
void ShowConnected(TMainForm& form, bool connected) {
  form.ComBtn1->setIcon(LoadGlyph(connected ? "ID_CONNECT" : "ID_DISCONNECT"));
  form.ComBtn1->setToolTip(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
  form.ComComboBox1->setEnabled(!connected);
  form.BaudComboBox1->setEnabled(!connected && !IsSourceText(form.ComComboBox1->currentText()));
  form.ColdStartButton1->setEnabled(connected);
  form.LoadButton->setEnabled(!connected);
  form.ParserButton->setEnabled(!connected);
}

// The cold start command for the chip chosen in the chip box; the first
// entry goes by the line speed. Skytraq receivers ship at 9600 baud, SiRF
// ones at 4800.
QByteArray ColdStartBytes(int chip, uint32_t baud) {
  switch (chip) {
    case 0:
      return baud == 9600 ? SkytraqColdStart : ColdStartCommand + CRLF;
    case 1:
      return SkytraqColdStart;
    case 2:
      return ColdStartCommand + CRLF;
    default:
      return {};
  }
}

void Send(TComm& comm, const QByteArray& bytes) {
  // A refused write (the port closed under us) is not an error here: the
  // rest of the cold start runs regardless.
  comm.WriteCommData(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<uint16_t>(bytes.size()));
}

}  // namespace

void TMainForm::ComBtn1Click() {
  if (IsConnected != 0) {
    if (!StopSource()) Comm1.StopComm();
    IsConnected = 0;
    ShowConnected(*this, false);
    return;
  }

  // A network source (null for a serial port); a malformed one is reported here.
  const QString portText = ComComboBox1->currentText();
  std::unique_ptr<NetworkSource> source = PrepareSource(portText);
  if (!source) {
    Comm1.SetCommName(CommNameFromPortText(portText));
    Comm1.SetBaudRate(BaudRateFromText(BaudComboBox1->currentText()));
    Comm1.SetStopBits(Comm1.BaudRate() == 9600 ? TStopBits::_2 : TStopBits::_1);
  }
  NMEAParser.ResetRecord();
  RestartStatistics();
  ListBox1Lines->clear();
  for (int column = 1; column <= kChartSlots; ++column) StringGrid1->item(0, column)->setText(QString());
  // A new connection starts a new stream; half a line from the last one
  // would only spoil its first sentence.
  ReceiveLines.Reset();
  if (source) {
    StartSource(std::move(source), portText);
  } else {
    try {
      const std::string path = serial_platform::ResolvePortName(Comm1.CommName());
      if (const long gpsd = GpsdHolding(path); gpsd > 0) {
        throw ECommsError("Error opening serial port\n" + path + ": in use by gpsd (pid " + std::to_string(gpsd) + ")");
      }
      Comm1.StartComm();
    } catch (const ECommsError& e) {
      throw ECommsError(WithGpsdHint(QString::fromStdString(e.what()), GpsdRunning).toStdString());
    }
  }
  IsConnected = 1;
  TTFFCount = 0;
  WatchForGnssOffer();
  ShowConnected(*this, true);
  // Commands wait until the source has answered, and a datagram source takes none.
  if (Source) ColdStartButton1->setEnabled(false);
}

void TMainForm::Comm1ReceiveData(TComm*, const uint8_t* Buffer, uint16_t BufferLength) {
  bool added = false;
  ReceiveLines.Feed(Buffer, BufferLength, [&](std::string_view line) {
    ListBox1Lines->appendLine(line);
    if (IsLogging != 0) {
      ListBox3Lines->appendLine(line);
      Journal.Append(line);
    }
    if (Statistics) Statistics->LineReceived(line);
    // The carriage return is never fed: the decoder completes a sentence at
    // its second checksum digit.
    NMEAParser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
    added = true;
  });
  Journal.Write();
  if (added) {
    ListBox1Lines->flush();
    ListBox1->scrollToBottom();
    CheckGnssOffer();
  }
}

void TMainForm::Comm1RequestHangup(TComm*) {
  // Only a live connection can be lost; a request that reaches an idle
  // window belongs to a session the user already closed.
  if (IsConnected == 0) return;
  const int error = Comm1.HangupError();
  ComBtn1Click();
  // The receiver is gone, and with it its fix and satellites: the display
  // must not go on showing them as current.
  NMEAParser.ResetRecord();
  RefreshOnce();
  QString text = QStringLiteral("Serial port closed: ") +
                 QString::fromStdString(serial_platform::ResolvePortName(Comm1.CommName()));
  if (error != 0) text += QStringLiteral(": ") + QString::fromStdString(SystemErrorText(error));
  // Shown once this handler has returned: the box's own event loop must not
  // run inside the component's delivery of its notifications.
  QTimer::singleShot(0, this, [text] { ShowWarning(text); });
}

void TMainForm::LogButtonClick() {
  if (IsLogging == 0) {
    IsLogging = 1;
    ListBox3Lines->clear();
    Journal.Start(PrepareNmeaLogFolder());
    LogButton->setText(QStringLiteral("Stop"));
    return;
  }

  IsLogging = 0;
  LogButton->setText(QStringLiteral("Log"));
  const QString path = NmeaLogFileName(PrepareNmeaLogFolder(), QDateTime::currentDateTime());
  // On failure the lines stay in the buffer until the next start clears it,
  // and in the journal, which the next run of the viewer recovers.
  Journal.Close();
  if (ListBox3Lines->count() > 0) ListBox3Lines->saveToFile(QFile::encodeName(path).toStdString());
  Journal.Remove();
  LogButton->setIcon(LoadGlyph("ID_LOGNMEA1"));
}

void TMainForm::Button1Click() {
  Edit1->setText(NmeaLogFolder() + QDir::separator() +
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHH:mm")) + QStringLiteral(".txt"));
}

void TMainForm::ColdStartButton1Click() {
  ColdStartButton1->setEnabled(false);
  if (Source) {
    ColdStartSource(ColdStartBytes(ChipComboBox->currentIndex(), BaudComboBox1->currentText().toUInt()));
    return;
  }
  const QByteArray command = ColdStartBytes(ChipComboBox->currentIndex(), Comm1.BaudRate());
  if (!command.isEmpty()) Send(Comm1, command);

  // Closing the port drops what is still queued for sending: the first wait
  // gives the transmit thread time to put the command on the line (61 bytes
  // take about 127 ms at 4800 baud). The second lets the receiver restart
  // before the port opens again.
  std::this_thread::sleep_for(kColdStartWait);
  Comm1.StopComm();
  std::this_thread::sleep_for(kColdStartWait);
  // What arrived before the close belongs to the old stream: it goes to the
  // list, the log and the decoder now, before they and the line cutter are
  // reset, or its half lines would be spliced onto the new stream's first.
  Comm1.DispatchNotifications();
  // A receiver lost meanwhile has already disconnected the window.
  if (IsConnected == 0) return;

  NMEATimer->stop();
  ClearForNewStream();
  try {
    Comm1.StartComm();
  } catch (...) {
    // The port is closed now, so the window falls back to idle as after a
    // failed connect, refreshing and polling again; the error is still reported.
    IsConnected = 0;
    ShowConnected(*this, false);
    NMEATimer->start();
    throw;
  }
  ColdStartButton1->setEnabled(true);
  NMEATimer->start();
}

void TMainForm::ClearForNewStream() {
  NMEAParser.ResetRecord();
  RestartStatistics();
  ListBox1Lines->clear();
  LatitudeEdit1->clear();
  LongitudeEdit1->clear();
  AltitudeEdit1->clear();
  TTFFCount = 0;
  ReceiveLines.Reset();
}

void TMainForm::CloseLiveSession() {
  if (!StopSource()) Comm1.StopComm();
  IsConnected = 0;
  if (IsLogging == 0) return;
  // Deliveries posted before the port closed belong in the log too.
  Comm1.DispatchNotifications();
  try {
    LogButtonClick();
  } catch (const std::exception& e) {
    // The window closes either way; the user still learns the log was not written.
    ShowExceptionReport(QString::fromUtf8(e.what()));
  }
}
