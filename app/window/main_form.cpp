#include "app/window/main_form.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <utility>

#include "app/views/gnss_sky.h"
#include "app/views/signal_chart.h"
#include "app/window/bitmaps.h"
#include "app/window/fixed_row_delegate.h"
#include "app/link/comm_notifier.h"
#include "app/loading/load_strip.h"
#include "app/replay/background_load.h"
#include "app/window/main_unit.h"
#include "app/dialogs/message_box.h"
#include "app/link/port_poll.h"
#include "app/settings/settings.h"
#include "app/sources/network_source.h"
#include "app/stats/stats_window.h"

TMainForm* MainForm = nullptr;

namespace {

constexpr QRgb kSkyBlue = 0xA6CAF0;
constexpr QRgb kMenuBar = 0xF0F0F0;
constexpr int kListItemHeight = 13;

// The drop-down list shows every name whole, widening beyond its narrow box
// when a name needs it, rather than cutting out its middle.
void KeepPopupNamesWhole(QComboBox& box) {
  QAbstractItemView* view = box.view();
  view->setTextElideMode(Qt::ElideNone);
  const auto fit = [view] {
    // Room for the widest name, the list's frame and a scroll bar in case the list needs one.
    const int width = view->sizeHintForColumn(0) + 2 * view->frameWidth() +
                      view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    view->setMinimumWidth(std::max(0, width));
  };
  QAbstractItemModel* model = box.model();
  QObject::connect(model, &QAbstractItemModel::rowsInserted, &box, fit);
  QObject::connect(model, &QAbstractItemModel::rowsRemoved, &box, fit);
  QObject::connect(model, &QAbstractItemModel::modelReset, &box, fit);
  QObject::connect(model, &QAbstractItemModel::dataChanged, &box, fit);
  fit();
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
  MainForm = this;
  setupUi(this);
  ApplyLayoutDetails();

  ListBox1Lines = new LineListModel(this);
  ListBox2Lines = new LineListModel(this);
  ListBox3Lines = new LineListModel(this);
  // ListBox2 lies outside the client area, never seen: its view goes without
  // the loaded file's model, as laying out a recording's 15 million rows
  // would hold the window still for a second once the file is in.
  for (auto [view, model] : {std::pair{ListBox1, ListBox1Lines}, {ListBox3, ListBox3Lines}}) {
    // Every line is one row of the same height, so the view never measures a million rows.
    view->setUniformItemSizes(true);
    view->setItemDelegate(new FixedRowDelegate(kListItemHeight, view));
    view->setModel(model);
  }

  // Coarse timers may fire up to 5% early or late (ticks every 950 ms played
  // 5.26 lines a second); the replay's pace and the refresh's second are precise.
  NMEATimer = new QTimer(this);
  NMEATimer->setTimerType(Qt::PreciseTimer);
  NMEATimer->setInterval(1000);
  ParserTimer = new QTimer(this);
  ParserTimer->setTimerType(Qt::PreciseTimer);
  ParserTimer->setInterval(1000);
  LoadBarTimer = new QTimer(this);
  LoadBar = new LoadStrip(this);
  const auto reported = [this](void (TMainForm::*handler)()) {
    return [this, handler] { RunReported([this, handler] { (this->*handler)(); }); };
  };
  connect(NMEATimer, &QTimer::timeout, this, reported(&TMainForm::NMEATimerTimer));
  connect(ParserTimer, &QTimer::timeout, this, reported(&TMainForm::ParserTimerTimer));
  connect(LoadBarTimer, &QTimer::timeout, this, &TMainForm::LoadBarTimerTimer);
  connect(LoadBar->CancelButton, &QPushButton::clicked, this, &TMainForm::EndLoad);
  connect(ComBtn1, &QPushButton::clicked, this, reported(&TMainForm::ComBtn1Click));
  connect(ColdStartButton1, &QPushButton::clicked, this, reported(&TMainForm::ColdStartButton1Click));
  connect(LogButton, &QPushButton::clicked, this, reported(&TMainForm::LogButtonClick));
  connect(LoadButton, &QPushButton::clicked, this, reported(&TMainForm::LoadButtonClick));
  connect(ParserButton, &QPushButton::clicked, this, reported(&TMainForm::ParserButtonClick));
  connect(Button1, &QPushButton::clicked, this, reported(&TMainForm::Button1Click));
  connect(Button2, &QPushButton::clicked, this, reported(&TMainForm::Button2Click));
  Comm1.OnReceiveData = [this](TComm* sender, const uint8_t* buffer, uint16_t length) {
    Comm1ReceiveData(sender, buffer, length);
  };
  Comm1.OnRequestHangup = [this](TComm* sender) { Comm1RequestHangup(sender); };
  Comm1Notifier = std::make_unique<CommNotifier>(Comm1);
  // A network source has no baud rate: the box greys while one is typed.
  connect(ComComboBox1, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    if (IsConnected == 0) BaudComboBox1->setEnabled(!IsSourceText(text));
  });

  FormCreate();
  SetUpGnssMode();
  SetUpStatistics();
  SetUpTrackExport();
  SetUpReplayStrip();
  NMEATimer->start();
}

TMainForm::~TMainForm() {
  StopSource();
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::ApplyLayoutDetails() {
  // A fixed dialog frame: close box only, never resized.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(632, 475);
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

  // Designer stores fonts in points; the layout's sizes are pixels. Labels
  // fit their caption, keeping their top-left corner.
  for (QLabel* label : Panel2->findChildren<QLabel*>()) {
    QFont font = label->font();
    font.setPixelSize(13);
    label->setFont(font);
    label->resize(label->sizeHint().width(), label->height());
  }

  // The frame panel's darker colour is for itself; the status panel keeps the button face.
  QPalette face = Panel2->palette();
  face.setColor(QPalette::Window, palette().color(QPalette::Window));
  Panel2->setPalette(face);
  Panel2->setAutoFillBackground(true);

  for (QComboBox* box : {ChipComboBox, ComComboBox1, BaudComboBox1}) KeepPopupNamesWhole(*box);

  QPalette gridPalette = StringGrid1->palette();
  gridPalette.setColor(QPalette::Base, QColor(kMenuBar));
  StringGrid1->setPalette(gridPalette);
  for (int column = 0; column < StringGrid1->columnCount(); ++column) {
    auto* cell = new QTableWidgetItem();
    cell->setFlags(Qt::ItemIsEnabled);
    if (column == 0) cell->setBackground(QColor(kSkyBlue));
    StringGrid1->setItem(0, column, cell);
  }
}

QFileDialog& TMainForm::OpenDialog1() {
  if (!OpenDialog) {
    OpenDialog = std::make_unique<QFileDialog>(this);
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    OpenDialog->setNameFilters({QStringLiteral("TXT (*.txt)"), QStringLiteral("ALL (*)")});
    OpenDialog->selectNameFilter(QStringLiteral("TXT (*.txt)"));
  }
  return *OpenDialog;
}

void TMainForm::FormCreate() {
  FillPortBox(*PortRegistry, *PortNames, *ComComboBox1);
  ShowRecentSources(*ComComboBox1, RecentSourcesSetting());
  ChipComboBox->setCurrentIndex(2);
  // Double buffering needs no switch here: every Qt widget paints through a back buffer.
}

void TMainForm::FormShow() {
  DrawSignalChartBackground(Image2->Canvas());
  Image2->update();

  *EarthBitmap = LoadBitmap("ID_EARTH1");
  {
    QPainter painter(&Image1->Canvas());
    painter.drawImage(0, 0, *EarthBitmap);
  }
  // A mode that carried over from the last run shows from the start.
  if (NMEAParser.GnssMode()) DrawGnssModeMark(Image1->Canvas(), *EarthBitmap, true);
  Image1->update();

  ComBtn1->setIcon(LoadGlyph("ID_DISCONNECT"));
  ComBtn1->setToolTip(QStringLiteral("Connect"));
  ColdStartButton1->setIcon(LoadGlyph("ID_COLDSTAT"));
  LogButton->setIcon(LoadGlyph("ID_LOGNMEA1"));
  LoadButton->setIcon(LoadGlyph("ID_OPENNMEA"));
  ParserButton->setIcon(LoadGlyph("ID_PLAY"));
}

void TMainForm::FormClose() {
  // Stop the timers first: their ticks use what is released below.
  Closed = true;
  NMEATimer->stop();
  ParserTimer->stop();
  EndLoad();
  CloseLiveSession();
  // The application ends with its main window, not with the last one open.
  if (Statistics) Statistics->close();
  EarthBitmap.reset();
  PortRegistry.reset();
  PortNames.reset();
}

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!Shown && !event->spontaneous()) {
    Shown = true;
    FormShow();
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!Closed) FormClose();
  event->accept();
}

void TMainForm::NMEATimerTimer() {
  if (Closed) return;
  NMEATimer->stop();
  ++TimerTicks;

  // The timer comes back on however the step ends: an exception from a poll
  // or a refresh is reported by the application and must not end refreshing
  // and polling for the rest of the run. The window may close while a
  // message box is up, and then it stays off.
  QPointer<TMainForm> self(this);
  struct Restart {
    QPointer<TMainForm>& form;
    ~Restart() {
      if (form && !form->Closed) form->NMEATimer->start();
    }
  } restart{self};

  if (IsConnected != 0) {
    UpdateNMEA(1);
  } else if (IsReplaying != 0) {
    UpdateNMEA(1);
  } else {
    PollPortBox(*PortRegistry, *PortNames, *ComComboBox1, [&self] { return self && !self->Closed; });
  }
}
