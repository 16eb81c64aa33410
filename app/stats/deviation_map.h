#pragma once

#include <QImage>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "accuracy_figures.h"
#include "sample_store.h"

// Every sample as a dot in metres east and north of the reference, the newest
// minute in a second colour on top, with the CEP50 and CEP95 circles, a cross
// at the reference and a scale bar. The scale fits the spread by itself until
// the wheel zooms; a double-click fits it again. At most one dot is drawn per
// pixel, so a day of samples draws as fast as a minute's; every sample still
// counts in the figures. A refresh places only the samples added since the
// last, until the scale, the plot or the reference (by a quarter pixel)
// moves: then every sample is placed again.
class DeviationMap : public QWidget {
  Q_OBJECT

 public:
  explicit DeviationMap(QWidget* parent = nullptr);

  // Draws `samples` against the figures' reference. The store must outlive
  // the map's use of it: a resize or a zoom draws it again.
  void Refresh(const stats::SampleStore& samples, const stats::AccuracyFigures& figures);
  void FitAutomatically();
  // The samples restarted: none of the dots placed so far stays.
  void Forget();

  bool Zoomed() const { return zoom_.has_value(); }
  // Metres from the reference to the nearer edge of the plot.
  double HalfWidth() const;
  double MetresPerPixel() const;
  size_t DotsDrawn() const { return dotsDrawn_; }
  size_t OffMap() const { return offMap_; }

  QSize sizeHint() const override { return {420, 420}; }

 signals:
  void zoomChanged(bool zoomed);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QRect PlotRect() const;
  void DrawDots();
  // Places samples [from, to) in the cells; `newestFrom` begins the newest minute.
  void PlaceDots(size_t from, size_t to, size_t newestFrom);
  void PaintCells();
  void DrawCircle(QPainter& painter, std::optional<double> radiusM, const QColor& colour, const char* name) const;
  void DrawScaleBar(QPainter& painter) const;

  const stats::SampleStore* samples_ = nullptr;
  std::optional<stats::LocalFrame> reference_;
  std::optional<double> cep50_, cep95_, maxH_;
  std::optional<double> zoom_;    // the half width the wheel chose
  std::optional<double> fitted_;  // the half width that fits, kept while the fit moves by a few per cent
  QImage dots_;
  size_t dotsDrawn_ = 0;
  size_t offMap_ = 0;

  // What the cells were placed against, and how far.
  struct Placed {
    const stats::SampleStore* Samples;
    size_t Count, NewestFrom;
    double HalfWidth;
    QRect Plot;
  };
  std::optional<Placed> placed_;
  std::optional<stats::LocalFrame> placedReference_;
  std::vector<uint8_t> older_;     // per cell: an older sample lies there
  std::vector<uint32_t> newest_;   // per cell: how many of the newest minute's samples
  std::deque<std::pair<size_t, uint32_t>> newestCells_;  // sample index, cell (or kOffMap)
};
