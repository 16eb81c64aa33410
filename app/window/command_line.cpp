#include "app/window/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kUsageError = 2;

CommandLineResult Mistake(const QString& text) {
  return {false, kUsageError, QStringLiteral("quorvane-viewer: %1 (try --help)\n").arg(text), true};
}

// Qt's own options, which the application object takes out of the command
// line itself once it exists. Those in the first list take a value, as the
// next argument or after "=". Qt accepts them with one dash or two.
bool IsQtOption(const QString& argument, bool& takesValue) {
  static const QStringList kWithValue = {
      QStringLiteral("platform"),     QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
      QStringLiteral("plugin"),       QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
      QStringLiteral("qwindowtitle"), QStringLiteral("session"),            QStringLiteral("display"),
      QStringLiteral("geometry"),     QStringLiteral("style"),              QStringLiteral("stylesheet"),
      QStringLiteral("qmljsdebugger"), QStringLiteral("dialogs"),           QStringLiteral("fontengine")};
  static const QStringList kFlags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                     QStringLiteral("nograb"), QStringLiteral("dograb")};
  if (!argument.startsWith(QLatin1Char('-'))) return false;
  QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
  const qsizetype equals = name.indexOf(QLatin1Char('='));
  if (equals >= 0) name.truncate(equals);
  takesValue = equals < 0 && kWithValue.contains(name);
  return kWithValue.contains(name) || (equals < 0 && kFlags.contains(name));
}

// The arguments without Qt's own options, so that "-platform xcb" or
// "-style Fusion" reach Qt instead of being refused as unknown here.
QStringList WithoutQtOptions(const QStringList& arguments) {
  QStringList own;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    bool takesValue = false;
    if (i == 0 || !IsQtOption(arguments[i], takesValue)) {
      own << arguments[i];
    } else if (takesValue) {
      ++i;
    }
  }
  return own;
}

}  // namespace

CommandLineResult ParseViewerCommandLine(const QStringList& arguments, ViewerOptions& options) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Shows position, satellites and raw sentences of an NMEA 0183 GPS "
                                                  "receiver on a serial port, and logs what it receives; "
                                                  "replays a recorded NMEA FILE."));
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
  const QCommandLineOption stats(QStringLiteral("stats"),
                                 QStringLiteral("Open the statistics window (Ctrl+T) once the window is shown."));
  const QCommandLineOption replay(QStringLiteral("replay"), QStringLiteral("Start replaying FILE once it is loaded."));
  parser.addOptions({help, version, port, baud, connect, log, logDir, gnss, stats, replay});
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A recorded NMEA file to load, as Open does."),
                               QStringLiteral("[FILE]"));

  if (!parser.parse(WithoutQtOptions(arguments))) return Mistake(parser.errorText());
  if (parser.isSet(help)) {
    // Without an application object the parser does not know the program's name.
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("quorvane-viewer"));
    return {false, 0, text, false};
  }
  if (parser.isSet(version)) return {false, 0, QStringLiteral("quorvane-viewer 0.99.b\n"), false};
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) return Mistake(QStringLiteral("unexpected argument '%1'").arg(files[1]));
  if (parser.isSet(replay) && files.isEmpty()) return Mistake(QStringLiteral("--replay needs a FILE"));
  if (!files.isEmpty()) {
    if (files[0].isEmpty()) return Mistake(QStringLiteral("FILE is empty"));
    options.File = QFileInfo(files[0]).absoluteFilePath();
  }
  options.Replay = parser.isSet(replay);

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
  options.Stats = parser.isSet(stats);
  return {};
}
