#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <exception>

#include "app/window/application.h"
#include "app/window/command_line.h"
#include "app/window/main_form.h"
#include "app/dialogs/message_box.h"
#include "app/logging/nmea_journal.h"
#include "app/logging/nmea_log_name.h"
#include "app/window/signal_close.h"

namespace {

QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

// Tells the user once about logs that a killed or crashed run left unsaved.
void ReportRecoveredLogs(const QStringList& recovered) {
  if (recovered.isEmpty()) return;
  const QString text = recovered.size() == 1
                           ? QStringLiteral("A log that was not stopped has been recovered:\n")
                           : QStringLiteral("Logs that were not stopped have been recovered:\n");
  ShowMessage(text + recovered.join(QLatin1Char('\n')));
}

}  // namespace

int main(int argc, char** argv) {
  ViewerOptions options;
  const CommandLineResult parsed = ParseViewerCommandLine(Arguments(argc, argv), options);
  if (!parsed.Run) {
    std::fputs(parsed.Output.toLocal8Bit().constData(), parsed.ToStderr ? stderr : stdout);
    return parsed.ExitCode;
  }

  PrepareApplicationEnvironment();
  QuorvaneApplication app(argc, argv);
  if (!options.LogDir.isEmpty()) {
    LogFolder = options.LogDir;
    QDir().mkpath(LogFolder);
  }
  try {
    TMainForm form;
    // A signal closes whatever is open, a message box first, then the window.
    SignalCloser closer([&form] {
      while (QWidget* modal = QApplication::activeModalWidget()) {
        if (!modal->close()) break;
      }
      form.close();
    });
    if (!options.Port.isEmpty()) form.ComComboBox1->setEditText(options.Port);
    if (!options.Baud.isEmpty()) form.BaudComboBox1->setEditText(options.Baud);
    if (options.Gnss) form.SetGnssMode(true);
    const QStringList recovered = RecoverNmeaJournals(NmeaLogFolder());
    RemoveUnfinishedLogSaves(NmeaLogFolder());
    form.show();
    // After the first paint, so the window is there behind the message box
    // and behind a failed connect's error.
    QTimer::singleShot(0, &form, [&form, &options, recovered] {
      if (!form.isVisible()) return;
      ReportRecoveredLogs(recovered);
      // A signal may have closed the window while the message box was up.
      if (!form.isVisible()) return;
      // Before connecting, so that the statistics count from the connection on.
      if (options.Stats) form.ShowStatistics();
      if (options.Log) form.LogButton->click();
      if (options.Connect) form.ComBtn1->click();
      // A missing file gets "Cannot open file ..." here: it was named on purpose.
      if (!options.File.isEmpty()) {
        const bool replay = options.Replay;
        form.LoadFile(options.File, [&form, replay] {
          if (replay) form.ParserButton->click();
        });
      }
    });
    app.exec();
  } catch (const std::exception& e) {
    ShowExceptionReport(QString::fromUtf8(e.what()));
  } catch (...) {
    // Anything that is not a std::exception carries no message to show.
    ShowExceptionReport(QString());
  }
  return 0;
}
