#include "app/logging/nmea_log_name.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString LogFolder;

QString NmeaLogFolder() {
  return LogFolder.isEmpty() ? DefaultNmeaLogFolder(QCoreApplication::applicationDirPath()) : LogFolder;
}

QString DefaultNmeaLogFolder(const QString& executableFolder) {
  // access() asks the kernel, so a read-only mount counts as unwritable too.
  if (!executableFolder.isEmpty() && ::access(QFile::encodeName(executableFolder).constData(), W_OK) == 0)
    return executableFolder;
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quorvane Viewer");
}

QString PrepareNmeaLogFolder() {
  const QString folder = NmeaLogFolder();
  if (LogFolder.isEmpty()) QDir().mkpath(folder);
  return folder;
}

namespace {

QString UniqueName(const QString& folder, const QString& prefix, const QDateTime& time) {
  const QDir dir(folder);
  const QString stem = prefix + time.toString(QStringLiteral("yyyyMMddHHmm"));
  QString path = dir.filePath(stem + QStringLiteral(".txt"));
  for (int n = 2; QFileInfo::exists(path); ++n)
    path = dir.filePath(stem + QStringLiteral("_%1.txt").arg(n));
  return path;
}

}  // namespace

QString NmeaLogFileName(const QString& folder, const QDateTime& stopped) {
  return UniqueName(folder, QStringLiteral("nmea_"), stopped);
}

QString NmeaRecoveredFileName(const QString& folder, const QDateTime& modified) {
  return UniqueName(folder, QStringLiteral("nmea_recovered_"), modified);
}
