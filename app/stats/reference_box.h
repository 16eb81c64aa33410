#pragma once

#include <QGroupBox>

#include <optional>

#include "accuracy_figures.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The reference the offsets are measured from: "Mean" (the default) or
// "Fixed" with latitude, longitude and an optional altitude, checked as they
// are typed. A field that is out of range or half typed shows it, and the mean
// stays in use until the point is whole again. The choice and the fields are
// remembered.
class ReferenceBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit ReferenceBox(QWidget* parent = nullptr);

  // The fixed point in use; none: the mean.
  std::optional<stats::FixedPoint> Reference() const { return reference_; }
  // Fills the fixed fields with `mean` in full precision and chooses them.
  void SetFixedPoint(double lat, double lon, std::optional<double> alt);

  QRadioButton* MeanButton;
  QRadioButton* FixedButton;
  QLineEdit* LatEdit;
  QLineEdit* LonEdit;
  QLineEdit* AltEdit;
  QPushButton* UseMeanButton;

 signals:
  void referenceChanged();
  // "Use mean" was pressed; the owner answers with SetFixedPoint.
  void useMeanRequested();

 private:
  void Check();

  std::optional<stats::FixedPoint> reference_;
  QLabel* InUse;
};
