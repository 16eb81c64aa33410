#pragma once

#include <QDateTime>
#include <QString>

// The folder NMEA logs go to. Empty means the folder that holds the viewer's
// executable; tests point it at a folder of their own.
extern QString LogFolder;
QString NmeaLogFolder();

// The NMEA log's file name in `folder` for a log stopped at `stopped`:
// "nmea_yyyymmddhhnn.txt", or, when a file of that name already exists (a
// second log stopped in the same minute), "nmea_yyyymmddhhnn_2.txt",
// "_3" and so on, so an earlier recording is never replaced.
QString NmeaLogFileName(const QString& folder, const QDateTime& stopped);
