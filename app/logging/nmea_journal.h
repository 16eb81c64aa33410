#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>

#include <string>
#include <string_view>

// A copy of the lines being logged, kept on disk while logging so that a
// crash, a kill or a power cut loses at most the last second of them. The
// file is hidden in the log folder, ".nmea_journal_XXXXXX", holds the lines in
// the log file's format (each followed by CR LF), and is locked (flock) for as
// long as its viewer logs into it, which tells a viewer that starts later
// whether the journal is still in use.
class NmeaJournal {
 public:
  NmeaJournal();
  ~NmeaJournal();
  NmeaJournal(const NmeaJournal&) = delete;
  NmeaJournal& operator=(const NmeaJournal&) = delete;

  // Starts a new journal in `folder`. On failure there is no journal and
  // logging goes on in memory only, as it always could.
  bool Start(const QString& folder);
  bool IsOpen() const { return Fd >= 0; }
  QString Path() const { return FilePath; }

  // Adds one logged line; Write hands what was added to the system, and a
  // timer forces it to the disk once a second.
  void Append(std::string_view line);
  void Write();

  // Ends journalling; the file stays, for the next start to recover should
  // the log not be saved.
  void Close();
  // The log was saved: the journal goes.
  void Remove();

 private:
  void Sync();
  void Shut();

  int Fd = -1;
  QString FilePath;
  std::string Pending;
  bool Unsynced = false;
  QTimer SyncTimer;
};

// Renames every journal in `folder` that no running viewer holds to
// "nmea_recovered_yyyymmddhhnn.txt" after its last change, and returns the new
// paths. Empty journals (logging started, nothing received) are removed.
QStringList RecoverNmeaJournals(const QString& folder);

// Removes the hidden files of log saves into `folder` that a kill or a crash
// cut short (".nmea_….txt.XXXXXX", beside the log they were to become) and
// that no running viewer is still writing. Nothing is lost with them: the
// lines they held are still in the journal that the same run kept.
void RemoveUnfinishedLogSaves(const QString& folder);
