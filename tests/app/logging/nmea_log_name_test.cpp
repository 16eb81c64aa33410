#include "app/logging/nmea_log_name.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

TEST(NmeaLogName, NamedFromTheStopMinuteInTheGivenFolder) {
  QTemporaryDir dir;
  const QDateTime t(QDate(2011, 3, 3), QTime(9, 5, 59));
  EXPECT_EQ(NmeaLogFileName(dir.path(), t), dir.filePath("nmea_201103030905.txt"));
}

TEST(NmeaLogName, LaterLogsOfTheSameMinuteGetANumber) {
  QTemporaryDir dir;
  const QDateTime t(QDate(2026, 12, 8), QTime(23, 59));
  for (const char* expected : {"nmea_202612082359.txt", "nmea_202612082359_2.txt", "nmea_202612082359_3.txt"}) {
    const QString name = NmeaLogFileName(dir.path(), t);
    EXPECT_EQ(name, dir.filePath(expected));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
}

TEST(NmeaLogName, DefaultFolderIsTheProgramsWhenWritableElseTheDocumentsSubfolder) {
  QTemporaryDir home;
  const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", QFile::encodeName(home.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
  EXPECT_EQ(DefaultNmeaLogFolder(home.path()), home.path());
  // An installed program's folder that the user cannot write (a missing one fails for root too).
  EXPECT_EQ(DefaultNmeaLogFolder(home.filePath("usr/local/bin")), home.filePath("Documents/Quorvane Viewer"));
  qputenv("HOME", oldHome);
  qputenv("XDG_CONFIG_HOME", oldConfig);
  if (oldConfig.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
}
