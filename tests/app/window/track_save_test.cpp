#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QProcess>
#include <QTimer>

#include "display_fixture.h"

namespace {

class TrackSave : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    ShowForm();
  }

  // The context menu's entries as "text:enabled", read while it is open.
  QStringList MenuEntries() {
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* a : menu->actions()) {
        if (!a->isSeparator()) entries << a->text() + (a->isEnabled() ? QStringLiteral(":on") : QStringLiteral(":off"));
      }
      menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), Form->ListBox1->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Form->ListBox1, &event);
    return entries;
  }

  // The tool's track of the same recording in the same mode.
  static QByteArray ToolTrack(const QString& path, const char* format, bool gnss) {
    QProcess tool;
    QStringList args{QString::fromLatin1(format), path};
    if (gnss) args.prepend(QStringLiteral("--gnss"));
    tool.start(QStringLiteral(QV_DECODE_TOOL), args);
    EXPECT_TRUE(tool.waitForFinished(60000));
    return tool.readAllStandardOutput();
  }
};

TEST_F(TrackSave, EntriesAreEnabledOnlyWhileARecordingIsLoaded) {
  const QStringList off{QStringLiteral("Save track as GPX…:off"), QStringLiteral("Save track as KML…:off")};
  const QStringList on{QStringLiteral("Save track as GPX…:on"), QStringLiteral("Save track as KML…:on")};
  EXPECT_EQ(MenuEntries().mid(2), off);
  Open(QStringLiteral(QV_TEST_DATA_DIR "/vehicle_rmb.nmea"));
  EXPECT_EQ(MenuEntries().mid(2), on);
  ChosenFile.clear();
  Open(QString());  // a cancelled open empties the lists
  EXPECT_EQ(MenuEntries().mid(2), off);
}

TEST_F(TrackSave, WholeRecordingIsSavedAsTheToolWritesItInTheWindowsMode) {
  const QString recording = QStringLiteral(QV_TEST_DATA_DIR "/gnss_talkers.nmea");
  Open(recording);
  for (const bool gnss : {false, true}) {
    for (const char* format : {"--gpx", "--kml"}) {
      SCOPED_TRACE(std::string(format) + (gnss ? " gnss" : ""));
      Form->SetGnssMode(gnss);
      const QString target = Dir.filePath(QStringLiteral("out"));
      QString offered;
      SetFileChooser([&](QFileDialog& dialog) {
        offered = QFileInfo(dialog.selectedFiles().value(0)).fileName();
        return target;
      });
      (std::strcmp(format, "--gpx") == 0 ? Form->SaveGpxAction : Form->SaveKmlAction)->trigger();
      EXPECT_EQ(offered, std::strcmp(format, "--gpx") == 0 ? "gnss_talkers.gpx" : "gnss_talkers.kml");
      QFile saved(target);
      ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
      EXPECT_EQ(saved.readAll(), ToolTrack(recording, format, gnss));
    }
  }
  // Nothing was played: the display's decoder saw none of it.
  EXPECT_EQ(NMEAParser.SentenceTotal, 0u);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(TrackSave, TargetThatCannotBeCreatedIsReported) {
  Open(QStringLiteral(QV_TEST_DATA_DIR "/vehicle_rmb.nmea"));
  const QString target = Dir.filePath(QStringLiteral("missing/out.gpx"));
  SetFileChooser([&](QFileDialog&) { return target; });
  Form->SaveGpxAction->trigger();
  EXPECT_EQ(Texts(QMessageBox::Critical), QStringList{QStringLiteral("Cannot create file ") + target + u'.'});
  EXPECT_FALSE(QFile::exists(target));
}

}  // namespace
