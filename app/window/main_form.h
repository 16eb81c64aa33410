#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/window/canvas_image.h"
#include "app/window/gnss_mode.h"
#include "app/logging/nmea_journal.h"
#include "app/views/line_list_model.h"
#include "app/replay/replay.h"
#include "app/track/track_writer.h"
#include "app/replay/seek_index.h"
#include "app/link/receive_lines.h"
#include "serial/comm.h"
#include "ui_main_form.h"

class BackgroundLineLoad;
class CommNotifier;
class ReplayStrip;
class LoadStrip;
class NetworkSource;
class StatsWindow;

// The viewer's one window. Its controls are the members that the layout in
// resources/main_form.ui names (ComBtn1, Image2, ListBox1, ...); all run-time
// state lives in the process-wide variables of main_unit.h.
class TMainForm : public QWidget, public Ui_TMainForm {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  QTimer* NMEATimer;
  QTimer* ParserTimer;

  // The lines behind the three list boxes: ListBox1 shows every line received
  // or replayed, ListBox2 holds the loaded file, ListBox3 the lines being logged.
  LineListModel* ListBox1Lines;
  LineListModel* ListBox2Lines;
  LineListModel* ListBox3Lines;
  // The lines being logged, on disk as well until the log is saved.
  NmeaJournal Journal;

  // The receiver's serial port; its received data goes to Comm1ReceiveData.
  TComm Comm1;

  // Loads `fileName` into ListBox2 off the window's thread, as the open
  // button does with the file chosen; `loaded` runs once its lines are in.
  // A strip below the controls shows the progress, with Cancel, while it runs.
  void LoadFile(const QString& fileName, std::function<void()> loaded = {});
  bool LoadRunning() const { return Load != nullptr; }
  QTimer* LoadBarTimer;
  LoadStrip* LoadBar;

  // The file-open dialog, made on first use (it is slow to build and most runs never open a file).
  QFileDialog& OpenDialog1();

  // Redraws the whole display from NMEAParser's record; the tick calls it with 1.
  void UpdateNMEA(int panel);

  void Comm1ReceiveData(TComm* Sender, const uint8_t* Buffer, uint16_t BufferLength);
  // The component's workers gave up on the line: the receiver was pulled out
  // or its far end closed.
  void Comm1RequestHangup(TComm* Sender);

  // GNSS mode on or off for this run; switching clears the record as connecting
  // does. The context menu's entry follows it; nothing is remembered here.
  void SetGnssMode(bool on);
  // The context menu's checkable entry "Decode all GNSS talkers".
  QAction* GnssModeAction;

  // The statistics window, made when first opened and kept while hidden so
  // that its samples go on growing; until then the receive and replay paths
  // pay nothing for it.
  std::unique_ptr<StatsWindow> Statistics;
  // The context menu's "Statistics…", with Ctrl+T.
  QAction* StatisticsAction;
  void ShowStatistics();

  // The context menu's "Save track as GPX…" and "Save track as KML…", enabled
  // while a recording is loaded.
  QAction* SaveGpxAction;
  QAction* SaveKmlAction;
  void SaveTrack(TrackFormat format);
  // The replay's speed, position and seeking, below the layout while a file
  // is loaded (replay_strip_handlers.cpp); the window grows by its height.
  ReplayStrip* Strip;
  // Goes to line `index` of the loaded file: the display, the decoder and the
  // line list as playing lines [0, index) from the start leaves them.
  void SeekReplay(size_t index);
  void SeekReplayToTime(int32_t utcMs);
  // Decoder states of the loaded file for seeking, made after each load;
  // stopped before the file's lines change (see SetUpReplayStrip).
  SeekIndex ReplaySeeks;

 public slots:
  void NMEATimerTimer();
  void ParserTimerTimer();
  void ComBtn1Click();
  void ColdStartButton1Click();
  void LogButtonClick();
  void LoadButtonClick();
  void ParserButtonClick();
  void LoadBarTimerTimer();
  void Button1Click();
  void Button2Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormClose();
  void ApplyLayoutDetails();
  void ShowReplayState();
  void SetUpReplayStrip();
  void ReplayFileChanged();
  void ReplaySpeedChosen(ReplaySpeed speed);
  int ReplayTickInterval() const;
  void ShowReplayPosition();
  // Scrolls ListBox1 so that its last item is its top one; `again` while
  // waiting for its layout to reach that item.
  void ShowListBox1End(bool again = false);
  // The lines of a tick played at a speed other than the default.
  ReplayStep PlayFasterTick();
  void LoadFinished();
  // Stops a running load, if any, and takes its strip away.
  void EndLoad();
  void RefreshOnce();
  void CloseLiveSession();
  void SetUpGnssMode();
  void SetUpStatistics();
  void SetUpTrackExport();
  void WriteTrack(const QString& target, TrackFormat format);
  // The statistics' samples start again: a connection opened, a cold start, a replay started.
  void RestartStatistics();
  void WatchForGnssOffer();
  void CheckGnssOffer();
  void UpdateSatellites(CanvasImage& sky);
  // A receiver behind gpsd or on the network instead of Comm1 (source_handlers.cpp).
  std::unique_ptr<NetworkSource> PrepareSource(const QString& text);
  void StartSource(std::unique_ptr<NetworkSource> source, const QString& text);
  bool StopSource();
  void SourceFailed(const QString& reason);
  void SourceClosed(const QString& reason);
  bool ColdStartSource(const QByteArray& command);
  void ClearForNewStream();

  bool Shown = false;
  bool Closed = false;
  std::unique_ptr<QFileDialog> OpenDialog;
  ReplayController Replay;
  // What a seek puts back: ListBox1's items and the decoder's sentence count
  // when the replay started.
  size_t ReplayListBase = 0;
  uint32_t ReplaySentenceBase = 0;
  // The recorded speeds' clock, and when the fastest one last showed its progress.
  QElapsedTimer ReplayClock;
  QElapsedTimer ReplayShown;
  bool ListBox1EndPending = false;
  // How long the line list took to lay out its rows after the last showing.
  qint64 ListBox1LayoutMs = 0;
  QElapsedTimer ListBox1LayoutClock;
  // The controls below the layout, hidden while the strip shows.
  QList<QPointer<QWidget>> HiddenBelowLayout;
  std::unique_ptr<BackgroundLineLoad> Load;
  std::function<void()> AfterLoad;
  // The window's height without the load strip.
  int HeightWithoutLoadBar = 0;
  ReceiveLineCutter ReceiveLines;
  GnssOfferWatch GnssOffer;
  QElapsedTimer GnssOfferClock;
  // Declared after Comm1 so it stops watching before the port component goes.
  std::unique_ptr<CommNotifier> Comm1Notifier;
  std::unique_ptr<NetworkSource> Source;
  QString SourceText;
};

// Width left for text in a cell of the satellite grid.
int GridCellTextWidth(const QTableWidget& grid);

// The window, set while it exists.
extern TMainForm* MainForm;
