#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <cstdint>

// The strip below the window's controls while a recording loads: the file's
// name, how much of it is in, and Cancel.
class LoadStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 30;

  explicit LoadStrip(QWidget* parent);

  void start(const QString& fileName);
  void showProgress(uint64_t done, uint64_t total);

  QPushButton* CancelButton;
  QProgressBar* Bar;

 private:
  QLabel* Name;
};
