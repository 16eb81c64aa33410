#include "app/sources/gpsd_hint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

QString WithGpsdHint(const QString& failure, const std::function<bool()>& gpsdRunning) {
  const bool named = failure.contains(QLatin1String(": in use by gpsd (pid "));
  const bool unnamed = failure.contains(QLatin1String(": in use by another program ("));
  if (!named && !(unnamed && gpsdRunning())) return failure;
  return failure + QLatin1Char('\n') + QString::fromLatin1(kGpsdHoldsReceiver);
}

namespace {

// The /proc entries of the processes named gpsd.
QStringList GpsdProcesses() {
  QStringList found;
  const QDir proc(QStringLiteral("/proc"));
  for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (entry.isEmpty() || !entry.front().isDigit()) continue;
    QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "gpsd") found << proc.filePath(entry);
  }
  return found;
}

}  // namespace

bool GpsdRunning() { return !GpsdProcesses().isEmpty(); }

long GpsdHolding(const std::string& path) {
  struct stat device {};
  if (::stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return -1;
  for (const QString& process : GpsdProcesses()) {
    const QDir fds(process + QStringLiteral("/fd"));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
      struct stat open {};
      // stat() follows the descriptor's link to the device itself, whatever name it was opened by.
      if (::stat(QFile::encodeName(fds.filePath(fd)).constData(), &open) == 0 && S_ISCHR(open.st_mode) &&
          open.st_rdev == device.st_rdev) {
        return QFileInfo(process).fileName().toLong();
      }
    }
  }
  return -1;
}
