#include "nmea_log_name.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString LogFolder;

QString NmeaLogFolder() { return LogFolder.isEmpty() ? QCoreApplication::applicationDirPath() : LogFolder; }

QString NmeaLogFileName(const QString& folder, const QDateTime& stopped) {
  const QDir dir(folder);
  const QString stem = QStringLiteral("nmea_") + stopped.toString(QStringLiteral("yyyyMMddHHmm"));
  QString path = dir.filePath(stem + QStringLiteral(".txt"));
  for (int n = 2; QFileInfo::exists(path); ++n)
    path = dir.filePath(stem + QStringLiteral("_%1.txt").arg(n));
  return path;
}
