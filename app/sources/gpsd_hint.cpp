#include "app/sources/gpsd_hint.h"

#include <QDir>
#include <QFile>

QString WithGpsdHint(const QString& failure, const std::function<bool()>& gpsdRunning) {
  const bool named = failure.contains(QLatin1String(": in use by gpsd (pid "));
  const bool unnamed = failure.contains(QLatin1String(": in use by another program ("));
  if (!named && !(unnamed && gpsdRunning())) return failure;
  return failure + QLatin1Char('\n') + QString::fromLatin1(kGpsdHoldsReceiver);
}

bool GpsdRunning() {
  const QDir proc(QStringLiteral("/proc"));
  for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (entry.isEmpty() || !entry.front().isDigit()) continue;
    QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "gpsd") return true;
  }
  return false;
}
