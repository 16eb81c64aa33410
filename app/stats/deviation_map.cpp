#include "app/stats/deviation_map.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/stats/map_scale.h"
#include "app/stats/near_offsets.h"
#include "app/stats/newest_minute.h"

namespace {

constexpr int kMargin = 8;
constexpr double kHalfSqrt2 = std::numbers::sqrt2 / 2.0;
constexpr int kScaleBarRoom = 28;  // beneath the plot
constexpr int kDot = 2;            // pixels a side
constexpr int kCross = 9;
constexpr int kCrossGap = 3;
constexpr QRgb kOlderDot = 0xFF2F5FAF;
constexpr QRgb kNewestDot = 0xFFE0602A;
const QColor kCep50Colour(0, 140, 60);
const QColor kCep95Colour(170, 40, 40);

constexpr uint32_t kOffMap = UINT32_MAX;
// The fit moves a little with every second's samples; the map follows it
// only when it has moved by more than this, so that the dots stay placed.
constexpr double kFitSlack = 1.05;
// How far the reference may move before the dots are placed again.
constexpr double kReferenceSlackPixels = 0.25;

// Text on a pale ground, readable over the dots.
void DrawLabel(QPainter& painter, QPointF baseline, const QString& text, const QColor& colour) {
  const QFontMetricsF metrics = painter.fontMetrics();
  const QRectF ground(baseline.x() - 2, baseline.y() - metrics.ascent() - 1, metrics.horizontalAdvance(text) + 4,
                      metrics.height() + 2);
  painter.fillRect(ground, QColor(255, 255, 255, 210));
  painter.setPen(colour);
  painter.drawText(baseline, text);
}

// What the two dot colours mean, in the plot's bottom right corner.
void DrawLegend(QPainter& painter, const QRect& plot) {
  const QFontMetrics metrics = painter.fontMetrics();
  int y = plot.bottom() - 6 - 2 * metrics.height() - 2;
  for (const auto& [colour, text] : {std::pair{kOlderDot, "sample"}, {kNewestDot, "last minute"}}) {
    const QString label = QString::fromLatin1(text);
    const int x = plot.right() - 8 - metrics.horizontalAdvance(label);
    painter.fillRect(x - 12, y + (metrics.height() - 6) / 2, 6, 6, QColor::fromRgb(colour));
    painter.setPen(Qt::black);
    painter.drawText(x, y + metrics.ascent(), label);
    y += metrics.height() + 2;
  }
}

}  // namespace

DeviationMap::DeviationMap(QWidget* parent) : QWidget(parent) {
  setMinimumSize(200, 200);
  setToolTip(QStringLiteral("Metres east and north of the reference.\n"
                            "Wheel: zoom. Double-click: fit the samples again."));
}

QRect DeviationMap::PlotRect() const {
  return QRect(kMargin, kMargin, std::max(1, width() - 2 * kMargin),
               std::max(1, height() - 2 * kMargin - kScaleBarRoom));
}

double DeviationMap::HalfWidth() const {
  if (zoom_) return *zoom_;
  return fitted_ ? *fitted_ : FitHalfWidth(cep95_, maxH_);
}

double DeviationMap::MetresPerPixel() const {
  const QRect plot = PlotRect();
  return HalfWidth() / (std::max(2, std::min(plot.width(), plot.height())) / 2.0);
}

void DeviationMap::Refresh(const stats::SampleStore& samples, const stats::AccuracyFigures& figures) {
  samples_ = &samples;
  reference_ = figures.Reference;
  cep50_ = figures[stats::Figure::Cep50];
  cep95_ = figures[stats::Figure::Cep95];
  maxH_ = figures[stats::Figure::MaxH];
  const double fit = FitHalfWidth(cep95_, maxH_);
  if (!fitted_ || fit > *fitted_ * kFitSlack || fit * kFitSlack < *fitted_) fitted_ = fit;
  DrawDots();
  update();
}

void DeviationMap::FitAutomatically() {
  if (!zoom_) return;
  zoom_.reset();
  DrawDots();
  update();
  emit zoomChanged(false);
}

void DeviationMap::Forget() { placed_.reset(); }

void DeviationMap::DrawDots() {
  if (dots_.size() != size()) dots_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
  if (samples_ == nullptr || !reference_ || samples_->Empty()) {
    placed_.reset();
    dotsDrawn_ = offMap_ = 0;
    dots_.fill(Qt::transparent);
    return;
  }
  const size_t n = samples_->Size();
  const size_t newestFrom = NewestMinuteStart(*samples_);
  const QRect plot = PlotRect();
  bool again = !placed_ || placed_->Samples != samples_ || n < placed_->Count || newestFrom < placed_->NewestFrom ||
               placed_->HalfWidth != HalfWidth() || placed_->Plot != plot;
  if (!again) {
    const stats::Enu moved = placedReference_->Offset(reference_->Lat(), reference_->Lon(), reference_->Height());
    // Written so that NaN places them again too.
    again = !(std::hypot(moved.East, moved.North) / MetresPerPixel() < kReferenceSlackPixels);
  }
  if (again) {
    placed_ = Placed{samples_, 0, 0, HalfWidth(), plot};
    placedReference_ = reference_;
    const size_t cells = static_cast<size_t>(plot.width()) * static_cast<size_t>(plot.height());
    older_.assign(cells, 0);
    newest_.assign(cells, 0);
    newestCells_.clear();
    offMap_ = 0;
  }
  PlaceDots(placed_->Count, n, newestFrom);
  // Samples that have left the newest minute.
  while (!newestCells_.empty() && newestCells_.front().first < newestFrom) {
    const uint32_t cell = newestCells_.front().second;
    if (cell != kOffMap) {
      --newest_[cell];
      older_[cell] = 1;
    }
    newestCells_.pop_front();
  }
  placed_->Count = n;
  placed_->NewestFrom = newestFrom;
  PaintCells();
}

void DeviationMap::PlaceDots(size_t from, size_t to, size_t newestFrom) {
  const QRect plot = placed_->Plot;
  const double perMetre = 1.0 / MetresPerPixel();
  // A dot's cell is its top left pixel, so that the dot is centred on the sample.
  const QPointF centre = QRectF(plot).center() - QPointF(kDot / 2.0, kDot / 2.0);
  const double cx = centre.x(), cy = centre.y();
  const double left = plot.left(), top = plot.top();
  const double right = plot.right() + 1 - kDot + 1, bottom = plot.bottom() + 1 - kDot + 1;
  const NearOffsets offsets(*placedReference_);
  const double height = placedReference_->Height();
  for (size_t i = from; i < to; ++i) {
    const stats::StatsSample& s = (*samples_)[i];
    // A sample without altitude sits at the reference's, as in the figures.
    const NearOffsets::EastNorth o = offsets.Offset(s.Lat, s.Lon, s.HasAltitude() ? s.Alt : height);
    const double x = cx + o.East * perMetre, y = cy - o.North * perMetre;
    uint32_t cell = kOffMap;
    // Written so that NaN lands off the map too.
    if (!(x >= left && x < right && y >= top && y < bottom)) {
      ++offMap_;
    } else {
      cell = static_cast<uint32_t>((static_cast<int>(y) - plot.top()) * plot.width() + static_cast<int>(x) -
                                   plot.left());
    }
    if (i >= newestFrom) {
      newestCells_.emplace_back(i, cell);
      if (cell != kOffMap) ++newest_[cell];
    } else if (cell != kOffMap) {
      older_[cell] = 1;
    }
  }
}

void DeviationMap::PaintCells() {
  dotsDrawn_ = 0;
  dots_.fill(Qt::transparent);
  const QRect plot = placed_->Plot;
  const int w = plot.width();
  // The older dots first, so that the newest minute lies on top.
  for (const bool newest : {false, true}) {
    const QRgb colour = newest ? kNewestDot : kOlderDot;
    for (int row = 0; row < plot.height(); ++row) {
      const size_t first = static_cast<size_t>(row) * static_cast<size_t>(w);
      for (int col = 0; col < w; ++col) {
        const size_t cell = first + static_cast<size_t>(col);
        // A cell with a newest sample is drawn once, in the newest colour.
        if (newest ? newest_[cell] == 0 : (older_[cell] == 0 || newest_[cell] != 0)) continue;
        ++dotsDrawn_;
        for (int dy = 0; dy < kDot; ++dy) {
          auto* pixels = reinterpret_cast<QRgb*>(dots_.scanLine(plot.top() + row + dy));
          for (int dx = 0; dx < kDot; ++dx) pixels[plot.left() + col + dx] = colour;
        }
      }
    }
  }
}

void DeviationMap::DrawCircle(QPainter& painter, std::optional<double> radiusM, const QColor& colour,
                              const char* name) const {
  if (!radiusM || !std::isfinite(*radiusM)) return;
  const double r = *radiusM / MetresPerPixel();
  const QRectF plot = QRectF(PlotRect());
  // Smaller than a pixel it is the cross; beyond the plot's corners it is nowhere to be seen.
  if (!(r >= 1.0) || r > std::hypot(plot.width(), plot.height()) / 2.0) return;
  const QPointF centre = plot.center();
  painter.setPen(QPen(colour, 1.5));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(centre, r, r);
  const QString label =
      QStringLiteral("%1 %2").arg(QLatin1String(name), QString::fromStdString(LengthText(*radiusM)));
  // On the circle at 45° up and to the right, kept inside the plot.
  QPointF at = centre + QPointF(r * kHalfSqrt2 + 3, -r * kHalfSqrt2 - 3);
  const double textWidth = painter.fontMetrics().horizontalAdvance(label);
  at.setX(std::clamp(at.x(), plot.left() + 2, std::max(plot.left() + 2, plot.right() - textWidth - 2)));
  at.setY(std::clamp(at.y(), plot.top() + painter.fontMetrics().ascent() + 2, plot.bottom() - 2));
  DrawLabel(painter, at, label, colour);
}

void DeviationMap::DrawScaleBar(QPainter& painter) const {
  const QRect plot = PlotRect();
  const ScaleBar bar = ChooseScaleBar(MetresPerPixel(), plot.width() / 4.0);
  const int x0 = plot.left() + 4;
  const int y = plot.bottom() + kScaleBarRoom - 6;
  const int x1 = x0 + static_cast<int>(std::lround(bar.Pixels));
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(x0, y, x1, y);
  painter.drawLine(x0, y - 4, x0, y);
  painter.drawLine(x1, y - 4, x1, y);
  painter.setPen(Qt::black);
  painter.drawText(x1 + 6, y, QString::fromStdString(bar.Label));
}

void DeviationMap::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect plot = PlotRect();
  painter.fillRect(rect(), palette().window());
  painter.fillRect(plot, Qt::white);
  painter.setPen(QColor(225, 225, 225));
  const QPoint centre = plot.center();
  painter.drawLine(plot.left(), centre.y(), plot.right(), centre.y());
  painter.drawLine(centre.x(), plot.top(), centre.x(), plot.bottom());
  painter.drawImage(0, 0, dots_);

  painter.save();
  painter.setClipRect(plot);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawCircle(painter, cep50_, kCep50Colour, "CEP50");
  DrawCircle(painter, cep95_, kCep95Colour, "CEP95");
  painter.restore();
  // Open in the middle, so that a dot on the reference itself still shows.
  painter.setPen(QPen(Qt::black, 2));
  for (const int sign : {-1, 1}) {
    painter.drawLine(centre.x() + sign * kCrossGap, centre.y(), centre.x() + sign * kCross, centre.y());
    painter.drawLine(centre.x(), centre.y() + sign * kCrossGap, centre.x(), centre.y() + sign * kCross);
  }
  painter.setPen(QColor(160, 160, 160));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot.adjusted(0, 0, -1, -1));
  DrawScaleBar(painter);

  DrawLegend(painter, plot);
  painter.setPen(Qt::black);
  const size_t n = samples_ == nullptr ? 0 : samples_->Size();
  QString note = n == 0 ? QStringLiteral("No samples")
                        : n == 1 ? QStringLiteral("1 sample") : QStringLiteral("%L1 samples").arg(n);
  if (offMap_ > 0) note += QStringLiteral(", %L1 off the map").arg(offMap_);
  if (zoom_) note += QStringLiteral(" (zoomed)");
  painter.drawText(plot.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop, note);
}

void DeviationMap::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  DrawDots();
}

void DeviationMap::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0.0) return;
  zoom_ = ZoomHalfWidth(HalfWidth(), steps);
  DrawDots();
  update();
  emit zoomChanged(true);
  event->accept();
}

void DeviationMap::mouseDoubleClickEvent(QMouseEvent* event) {
  FitAutomatically();
  event->accept();
}
