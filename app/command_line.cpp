#include "command_line.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

constexpr int kUsageError = 2;

CommandLineResult Mistake(const QString& text) {
  return {false, kUsageError, QStringLiteral("quorvane-viewer: %1 (try --help)\n").arg(text), true};
}

}  // namespace

CommandLineResult ParseViewerCommandLine(const QStringList& arguments, ViewerOptions& options) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Shows position, satellites and raw sentences of an NMEA 0183 GPS "
                                                  "receiver on a serial port, and logs what it receives."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this text."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version."));
  const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Put NAME in the port box (ttyUSB0, /dev/pts/3)."),
                                QStringLiteral("NAME"));
  const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Put N in the baud box."), QStringLiteral("N"));
  const QCommandLineOption connect(QStringLiteral("connect"),
                                   QStringLiteral("Press GPS (connect) once the window is shown."));
  const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Press Log once the window is shown."));
  const QCommandLineOption logDir(QStringLiteral("log-dir"),
                                  QStringLiteral("Write NMEA logs into DIR (made if missing) instead of the "
                                                 "program's folder or ~/Documents/Quorvane Viewer."),
                                  QStringLiteral("DIR"));
  const QCommandLineOption gnss(QStringLiteral("gnss"), QStringLiteral("Decode all GNSS talkers (GN, GL, GA, GB, ...)."));
  parser.addOptions({help, version, port, baud, connect, log, logDir, gnss});

  if (!parser.parse(arguments)) return Mistake(parser.errorText());
  if (parser.isSet(help)) {
    // Without an application object the parser does not know the program's name.
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("quorvane-viewer"));
    return {false, 0, text, false};
  }
  if (parser.isSet(version)) return {false, 0, QStringLiteral("quorvane-viewer 0.99.b\n"), false};
  if (!parser.positionalArguments().isEmpty())
    return Mistake(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

  options.Port = parser.value(port);
  options.Baud = parser.value(baud);
  if (parser.isSet(baud)) {
    bool ok = false;
    if (options.Baud.toInt(&ok) <= 0 || !ok) return Mistake(QStringLiteral("--baud needs a positive whole number"));
  }
  if (parser.isSet(logDir)) {
    if (parser.value(logDir).isEmpty()) return Mistake(QStringLiteral("--log-dir needs a folder"));
    options.LogDir = QDir(parser.value(logDir)).absolutePath();
  }
  options.Connect = parser.isSet(connect);
  options.Log = parser.isSet(log);
  options.Gnss = parser.isSet(gnss);
  return {};
}
