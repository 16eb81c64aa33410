#pragma once

#include <QTableWidget>

#include "accuracy_figures.h"

// Every figure with its value and unit, one row each, rounded for reading;
// the full-precision value is the cell's tool tip and what Copy takes.
class FiguresPanel : public QTableWidget {
 public:
  explicit FiguresPanel(QWidget* parent = nullptr);

  void Refresh(const stats::AccuracyFigures& figures);
};
