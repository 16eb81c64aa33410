#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/replay/replay.h"

// The replay's controls below the window's layout while a file is loaded: the
// file's name, the speed, a slider over the file, a field for going to a line
// or a UTC time, and where the replay stands.
class ReplayStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 54;
  // The slider's steps over the whole file.
  static constexpr int kSliderSteps = 10000;

  explicit ReplayStrip(QWidget* parent = nullptr);

  void SetFileName(const QString& name);
  // `played` of `total` lines played; `utcMs` the last recorded time among them.
  void ShowPosition(size_t played, size_t total, std::optional<int32_t> utcMs);
  // The replay shortened a gap of `gapMs` in the recording.
  void ShowSkipped(int64_t gapMs);
  // A line or a time typed in the field that the file does not have.
  void ShowNotFound(const QString& text);
  ReplaySpeed Speed() const;

  QLabel* NameLabel;
  QComboBox* SpeedBox;
  QLineEdit* GoToEdit;
  QPushButton* GoButton;
  QSlider* PositionSlider;
  QLabel* PositionLabel;
  QLabel* NoteLabel;

 signals:
  void SpeedChosen(ReplaySpeed speed);
  void LineChosen(size_t line);
  void TimeChosen(int32_t utcMs);

 private:
  void GoTo();
  void SliderMoved(int value);

  size_t total_ = 0;
};
