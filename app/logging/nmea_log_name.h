#pragma once

#include <QDateTime>
#include <QString>

// The folder NMEA logs go to. Empty means the default folder below; the
// command line's --log-dir and tests set it.
extern QString LogFolder;
QString NmeaLogFolder();

// Where logs go by default: the folder that holds the executable when the user
// may write there (a build tree), else "Quorvane Viewer" in the user's
// documents folder, since an installed program's folder belongs to root.
QString DefaultNmeaLogFolder(const QString& executableFolder);

// NmeaLogFolder(), made first when it is the documents folder's subfolder,
// which does not exist until the first log. A folder that cannot be made shows
// up when the file is written.
QString PrepareNmeaLogFolder();

// The NMEA log's file name in `folder` for a log stopped at `stopped`:
// "nmea_yyyymmddhhnn.txt", or, when a file of that name already exists (a
// second log stopped in the same minute), "nmea_yyyymmddhhnn_2.txt",
// "_3" and so on, so an earlier recording is never replaced.
QString NmeaLogFileName(const QString& folder, const QDateTime& stopped);

// The same for a log recovered from the journal of a run that ended without
// Stop, named after the journal's last change: "nmea_recovered_yyyymmddhhnn.txt".
QString NmeaRecoveredFileName(const QString& folder, const QDateTime& modified);
