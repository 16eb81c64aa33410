#pragma once

#include <QImage>
#include <QWidget>

#include <cstddef>
#include <optional>

#include "accuracy_figures.h"
#include "sample_store.h"

// Every sample as a dot in metres east and north of the reference, the newest
// minute in a second colour on top, with the CEP50 and CEP95 circles, a cross
// at the reference and a scale bar. The scale fits the spread by itself until
// the wheel zooms; a double-click fits it again. At most one dot is drawn per
// pixel, so a day of samples draws as fast as a minute's; every sample still
// counts in the figures.
class DeviationMap : public QWidget {
  Q_OBJECT

 public:
  explicit DeviationMap(QWidget* parent = nullptr);

  // Draws `samples` against the figures' reference. The store must outlive
  // the map's use of it: a resize or a zoom draws it again.
  void Refresh(const stats::SampleStore& samples, const stats::AccuracyFigures& figures);
  void FitAutomatically();

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
  void DrawCircle(QPainter& painter, std::optional<double> radiusM, const QColor& colour, const char* name) const;
  void DrawScaleBar(QPainter& painter) const;

  const stats::SampleStore* samples_ = nullptr;
  std::optional<stats::LocalFrame> reference_;
  std::optional<double> cep50_, cep95_, maxH_;
  std::optional<double> zoom_;  // the half width the wheel chose
  QImage dots_;
  size_t dotsDrawn_ = 0;
  size_t offMap_ = 0;
};
