#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>

#include <algorithm>

#include "app/dialogs/file_chooser.h"
#include "app/dialogs/message_box.h"
#include "app/track/track_export.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

// The loaded recording's track, saved as GPX or KML from the context menu.
// The whole file is decoded again by a decoder of the export's own, in the
// window's current mode, however far the replay has come; NMEAParser and the
// display are left alone.

namespace {

// Lines decoded between two looks at the progress dialog: a few milliseconds'
// work, so Cancel answers at once even for a file of a gigabyte.
constexpr size_t kSliceLines = 20000;
constexpr int kProgressSteps = 1000;

}  // namespace

void TMainForm::SetUpTrackExport() {
  SaveGpxAction = new QAction(QStringLiteral("Save track as GPX…"), this);
  SaveKmlAction = new QAction(QStringLiteral("Save track as KML…"), this);
  connect(SaveGpxAction, &QAction::triggered, this, [this] { RunReported([this] { SaveTrack(TrackFormat::Gpx); }); });
  connect(SaveKmlAction, &QAction::triggered, this, [this] { RunReported([this] { SaveTrack(TrackFormat::Kml); }); });
}

void TMainForm::SaveTrack(TrackFormat format) {
  if (ListBox2Lines->count() == 0) return;
  const bool gpx = format == TrackFormat::Gpx;
  const QString source = QFile::decodeName(ListBox2Lines->loadedFrom().c_str());
  const QFileInfo sourceInfo(source);
  const QString suffix = gpx ? QStringLiteral("gpx") : QStringLiteral("kml");

  QFileDialog dialog(this, gpx ? QStringLiteral("Save Track as GPX") : QStringLiteral("Save Track as KML"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({gpx ? QStringLiteral("GPX (*.gpx)") : QStringLiteral("KML (*.kml)"), QStringLiteral("ALL (*)")});
  dialog.setDefaultSuffix(suffix);
  if (!source.isEmpty()) dialog.setDirectory(sourceInfo.absolutePath());
  dialog.selectFile((source.isEmpty() ? QStringLiteral("track") : sourceInfo.completeBaseName()) + u'.' + suffix);
  const QString target = ChooseFile(dialog);
  if (target.isEmpty()) return;
  WriteTrack(target, format);
}

void TMainForm::WriteTrack(const QString& target, TrackFormat format) {
  // Written beside the target and renamed over it only when complete, so a
  // cancelled or failed export leaves no partial file and an older file whole.
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) throw EFileError("Cannot create file " + target.toStdString());
  const QString source = QFile::decodeName(ListBox2Lines->loadedFrom().c_str());
  TrackExport exporter(file, format, source.isEmpty() ? QStringLiteral("track") : TrackName(source),
                       NMEAParser.GnssMode());

  const LineStore& lines = ListBox2Lines->lines();
  const size_t total = lines.size();
  QProgressDialog progress(QStringLiteral("Saving track…"), QStringLiteral("Cancel"), 0, kProgressSteps, this);
  progress.setWindowTitle(QString::fromLatin1(kApplicationTitle));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  for (size_t i = 0; i < total;) {
    const size_t end = std::min(total, i + kSliceLines);
    for (; i < end; ++i) exporter.FeedLine(lines.line(i));
    // A modal dialog lets the event loop run here, so the window repaints and
    // the replay goes on; the recording cannot change under it, but a check
    // costs nothing.
    progress.setValue(static_cast<int>(static_cast<double>(i) / static_cast<double>(total) * kProgressSteps));
    if (progress.wasCanceled() || ListBox2Lines->count() != total) return;  // the temporary file goes with `file`
    if (file.error() != QFileDevice::NoError) break;
  }
  if (!exporter.Finish() || !file.commit()) throw EFileError("Cannot write file " + target.toStdString());
}
