#include "history_tab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "accuracy_figures.h"
#include "history_chart.h"
#include "history_span.h"
#include "sample_collector.h"

namespace stats::history {

namespace {

const std::array<ChartKind, HistoryTab::kChartCount> kCharts = {{
    // Used on top: where every satellite in view is used, the lines lie on each other.
    {"Satellites used and in view", "satellites", {Series::InView, Series::SatsUsed}, {"In view", "Used"}, true,
     false, 4.0},
    {"HDOP", "HDOP", {Series::Hdop}, {"HDOP"}, true, false, 1.0},
    {"Mean top-4 SNR", "dB-Hz", {Series::Snr}, {"SNR"}, true, false, 10.0},
    {"Horizontal error d", "m", {Series::Horizontal}, {"d"}, true, true, 0.01},
    {"Altitude error", "m", {Series::Up}, {"Up"}, false, true, 0.01},
}};

// Below this the lines would be cut coarser than the eye sees; above it, finer
// than a screen's pixels.
constexpr int kFewestBuckets = 200;
constexpr int kMostBuckets = 4096;
// Room per time label, pixels.
constexpr int kPixelsPerTick = 75;

}  // namespace

HistoryTab::HistoryTab(QWidget* parent) : StatsTab(parent), span_(new QComboBox), note_(new QLabel) {
  for (const HistorySpan& s : kHistorySpans) span_->addItem(QString::fromUtf8(s.Text));
  span_->setCurrentIndex(static_cast<int>(kDefaultSpan));
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Show:")));
  top->addWidget(span_);
  // Said once here rather than under every chart, where it would take a line each.
  top->addWidget(new QLabel(QStringLiteral("Times are UTC.")));
  top->addStretch(1);
  top->addWidget(note_);
  // Below the height where their labels fit, the charts scroll rather than
  // shrink: Qt Charts would cut the labels to "...".
  auto* charts = new QWidget;
  auto* stack = new QVBoxLayout(charts);
  stack->setContentsMargins(0, 0, 0, 0);
  for (size_t i = 0; i < kChartCount; ++i) {
    charts_[i] = new HistoryChart(kCharts[i], charts);
    // The legend above the first chart's lines takes a line of its own.
    stack->addWidget(charts_[i], kCharts[i].Lines.size() > 1 ? 6 : 5);
  }
  auto* scroll = new QScrollArea;
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setWidgetResizable(true);
  scroll->setWidget(charts);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(scroll, 1);
  connect(span_, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
  Redraw();
}

HistoryTab::~HistoryTab() = default;

void HistoryTab::Refresh(const StatsContext& now) {
  reference_ = now.Figures.Reference;
  store_.Update(now.Samples.Samples(), reference_ ? reference_->Height() : 0.0);
  summary_.Update(store_, reference_);
  // Laying out and painting the charts is most of the window's refresh: a
  // hidden tab draws once it is shown.
  if (isVisible()) {
    Redraw();
  } else {
    stale_ = true;
  }
}

void HistoryTab::showEvent(QShowEvent* event) {
  StatsTab::showEvent(event);
  if (stale_) Redraw();
}

void HistoryTab::Restart() {
  store_.Clear();
  summary_.Clear();
  reference_.reset();
  Redraw();
}

void HistoryTab::LineUpPlots() {
  int widest = 0;
  for (const HistoryChart* chart : charts_) widest = std::max(widest, chart->LabelWidth());
  for (HistoryChart* chart : charts_) chart->SetLeftRoom(widest - chart->LabelWidth());
}

size_t HistoryTab::BucketCount() const {
  return static_cast<size_t>(std::clamp(charts_[0]->PlotWidth(), kFewestBuckets, kMostBuckets));
}

void HistoryTab::Redraw() {
  stale_ = false;
  const HistorySpan& span = kHistorySpans[static_cast<size_t>(std::max(span_->currentIndex(), 0))];
  const TimeRange range = ShownRange(store_, span);
  const Decimated d = Decimate(store_, summary_, range, BucketCount(), reference_);
  const int width = std::max(charts_[0]->PlotWidth(), 400);
  const TimeRange drawn{d.Start, d.Start + static_cast<double>(d.Rows.size()) * d.Width};
  std::vector<TimeTick> ticks = TimeTicks(drawn, std::max(width / kPixelsPerTick, 2));
  // A label centred on a tick near either end would be cut off.
  const double margin = (drawn.To - drawn.From) * (kPixelsPerTick / 3.0) / width;
  std::erase_if(ticks, [&](const TimeTick& t) { return t.At < drawn.From + margin || t.At > drawn.To - margin; });
  for (HistoryChart* chart : charts_) chart->Show(d, ticks);
  LineUpPlots();

  const size_t untimed = store_.SamplesRead() - store_.Size();
  QString note = QStringLiteral("%1 samples").arg(QLocale().toString(static_cast<qulonglong>(store_.SamplesRead())));
  if (untimed > 0) note += QStringLiteral(", %1 before the first UTC time not drawn").arg(untimed);
  note_->setText(note);
}

}  // namespace stats::history
