#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <utility>

#include "app/dialogs/file_chooser.h"
#include "app/dialogs/message_box.h"
#include "app/loading/load_strip.h"
#include "app/replay_strip/replay_strip.h"
#include "app/replay/background_load.h"
#include "app/window/main_form.h"

// Opening a recording: the open button empties both lists and asks for a
// file, whose lines then load into ListBox2 on a thread of their own while
// the window goes on answering. The load strip shows below the controls, the
// window taller by its height, only once a load has taken a moment, so a
// small file never makes the window jump.

namespace {

constexpr int kLoadBarDelayMs = 100;

}  // namespace

void TMainForm::LoadButtonClick() {
  EndLoad();
  // A playing replay ends here, so the new file starts from its first line
  // and connecting and logging work again while it is loaded.
  const bool wasPlaying = Replay.state() == ReplayState::Playing;
  Replay.BeginOpen();
  if (wasPlaying) {
    ShowReplayState();
    RefreshOnce();
  }
  ListBox1Lines->clear();
  ListBox2Lines->clear();

  QFileDialog& dialog = OpenDialog1();
  dialog.setWindowTitle(QStringLiteral("Open NMEA Log File"));
  const QString fileName = ChooseFile(dialog);
  if (fileName.isEmpty()) return;
  ParserTimer->stop();
  if (!QFileInfo::exists(fileName)) return;
  LoadFile(fileName);
}

void TMainForm::LoadFile(const QString& fileName, std::function<void()> loaded) {
  EndLoad();
  AfterLoad = std::move(loaded);
  Strip->SetFileName(QFileInfo(fileName).fileName());
  Load = std::make_unique<BackgroundLineLoad>(QFile::encodeName(fileName).toStdString());
  connect(Load.get(), &BackgroundLineLoad::finished, this, [this] { RunReported([this] { LoadFinished(); }); });
  LoadBar->start(fileName);
  LoadBarTimer->start(kLoadBarDelayMs);
}

void TMainForm::LoadBarTimerTimer() {
  if (!Load) return;
  if (LoadBar->isHidden()) {
    HeightWithoutLoadBar = height();
    setFixedSize(width(), HeightWithoutLoadBar + LoadStrip::kHeight);
    LoadBar->setGeometry(0, HeightWithoutLoadBar, width(), LoadStrip::kHeight);
    // Over the stores' controls that lie just below the window's controls.
    LoadBar->raise();
    LoadBar->show();
  }
  LoadBar->showProgress(Load->doneBytes(), Load->totalBytes());
}

void TMainForm::EndLoad() {
  LoadBarTimer->stop();
  if (!LoadBar->isHidden()) {
    LoadBar->hide();
    setFixedSize(width(), HeightWithoutLoadBar);
  }
  AfterLoad = nullptr;
  // Stops the loading thread and waits for it, within one read block.
  Load.reset();
}

void TMainForm::LoadFinished() {
  const std::unique_ptr<BackgroundLineLoad> done = std::move(Load);
  std::function<void()> loaded = std::move(AfterLoad);
  EndLoad();
  // "Cannot open file ...": the list stays empty and the caption as it was.
  if (done->failed()) throw EFileError(done->error());
  ListBox2Lines->adopt(done->lines(), done->path());
  Replay.FileLoaded();
  ParserButton->setText(QString::fromLatin1(Replay.caption()));
  if (done->result().end == LoadEnd::LoadedGrown) {
    const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(done->path()))).fileName();
    ShowNotice(QStringLiteral("%1 grew while it was loading (a log still being written?). Its first %2 bytes, "
                              "as it was when loading started, are loaded: %3 lines.")
                   .arg(name, QLocale().toString(static_cast<qulonglong>(done->result().startBytes)),
                        QLocale().toString(static_cast<qulonglong>(ListBox2Lines->count()))),
               this);
  }
  if (loaded) loaded();
}
