#include "app/logging/nmea_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include "app/logging/nmea_log_name.h"

namespace {

constexpr int kSyncIntervalMs = 1000;
const QString kJournalPrefix = QStringLiteral(".nmea_journal_");

}  // namespace

NmeaJournal::NmeaJournal() {
  SyncTimer.setInterval(kSyncIntervalMs);
  QObject::connect(&SyncTimer, &QTimer::timeout, [this] { Sync(); });
}

NmeaJournal::~NmeaJournal() { Close(); }

bool NmeaJournal::Start(const QString& folder) {
  Close();
  FilePath.clear();
  QByteArray name = QFile::encodeName(QDir(folder).filePath(kJournalPrefix + QStringLiteral("XXXXXX")));
  const int fd = ::mkostemp(name.data(), O_CLOEXEC | O_APPEND);
  if (fd < 0) return false;
  // The recovered log gets the permissions a saved one would have.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  // Taken at once: a viewer starting now must not mistake the new journal for a left-over one.
  ::flock(fd, LOCK_EX | LOCK_NB);
  Fd = fd;
  FilePath = QFile::decodeName(name);
  Pending.clear();
  Unsynced = false;
  SyncTimer.start();
  return true;
}

void NmeaJournal::Append(std::string_view line) {
  if (Fd < 0) return;
  Pending.append(line);
  Pending.append("\r\n");
}

void NmeaJournal::Write() {
  if (Fd < 0 || Pending.empty()) return;
  size_t done = 0;
  while (done < Pending.size()) {
    const ssize_t n = ::write(Fd, Pending.data() + done, Pending.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A full disk: the journal keeps the whole lines it has, and stops
      // rather than leave a gap in the middle. The log in memory is complete.
      const off_t whole = ::lseek(Fd, 0, SEEK_END) - static_cast<off_t>(done);
      if (::ftruncate(Fd, whole) != 0) {
        // Then the recovered log ends in a part line; nothing better is possible.
      }
      Shut();
      return;
    }
    done += static_cast<size_t>(n);
  }
  Pending.clear();
  Unsynced = true;
}

void NmeaJournal::Sync() {
  Write();
  if (Fd >= 0 && Unsynced) {
    ::fdatasync(Fd);
    Unsynced = false;
  }
}

void NmeaJournal::Remove() {
  Shut();
  if (!FilePath.isEmpty()) ::unlink(QFile::encodeName(FilePath).constData());
  FilePath.clear();
}

void NmeaJournal::Close() {
  Sync();
  Shut();
}

void NmeaJournal::Shut() {
  SyncTimer.stop();
  if (Fd >= 0) ::close(Fd);
  Fd = -1;
  Pending.clear();
  Unsynced = false;
}

QStringList RecoverNmeaJournals(const QString& folder) {
  QStringList recovered;
  const QDir dir(folder);
  for (const QString& name : dir.entryList({kJournalPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
    const QString path = dir.filePath(name);
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    // A lock that cannot be had means its viewer is still logging into it.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0) {
      if (st.st_size == 0) {
        ::unlink(native.constData());
      } else {
        const QString target = NmeaRecoveredFileName(folder, QFileInfo(path).lastModified());
        if (std::rename(native.constData(), QFile::encodeName(target).constData()) == 0) recovered << target;
      }
    }
    ::close(fd);
  }
  return recovered;
}

void RemoveUnfinishedLogSaves(const QString& folder) {
  const QDir dir(folder);
  for (const QString& name : dir.entryList({QStringLiteral(".nmea_*.txt.??????")}, QDir::Files | QDir::Hidden)) {
    const QByteArray native = QFile::encodeName(dir.filePath(name));
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    // A save in progress holds its lock from the moment it makes the file.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(native.constData());
    ::close(fd);
  }
}
