#pragma once

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>

#include <cstring>
#include <string>

#include "app/window/bitmaps.h"
#include "app/dialogs/file_chooser.h"
#include "form_fixture.h"

// A window shown over a fake port tree, with NMEAParser's record cleared to
// what ResetRecord leaves on the fields the display reads, and the file
// dialog answered by `ChosenFile` instead of the user.
class DisplayFixture : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    ClearRecord(NMEAParser);
    SetFileChooser([this](QFileDialog& dialog) {
      DialogTitle = dialog.windowTitle();
      DialogFilters = dialog.nameFilters();
      DialogSelectedFilter = dialog.selectedNameFilter();
      return ChosenFile;
    });
  }

  void TearDown() override {
    SetFileChooser({});
    FormFixture::TearDown();
  }

  static void ClearRecord(CNMEAParser& record) {
    record.SentenceTotal = 0;
    record.GgaLat = record.GgaLon = record.GgaAltitude = 0.0;
    record.GsaFixType = 1;
    record.GsvInView = 0;
    std::memset(record.GsvSat, 0, sizeof record.GsvSat);
    record.RmcYear = 2000;
    record.RmcMonth = record.RmcDay = 1;
    record.RmcUtcHour = record.RmcUtcMinute = record.RmcUtcSecond = 0;
    record.RmcSpeedKnots = 0.0;
  }

  // Writes `bytes` to a file in a fresh folder and returns its name.
  QString WriteFile(const char* name, const std::string& bytes) {
    const QString path = Dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }

  // Chooses `path` in the open dialog and loads it, waiting for the load.
  void Open(const QString& path) {
    ChosenFile = path;
    Form->LoadButtonClick();
    WaitForLoad();
  }

  void WaitForLoad() {
    QDeadlineTimer deadline(20000);
    while (Form->LoadRunning() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_FALSE(Form->LoadRunning());
  }

  QString ChosenFile;
  QString DialogTitle;
  QStringList DialogFilters;
  QString DialogSelectedFilter;
  QTemporaryDir Dir;
};

inline bool SameGlyph(const QIcon& icon, const char* name) {
  return icon.pixmap(16, 16).toImage() == LoadGlyph(name).pixmap(16, 16).toImage();
}

