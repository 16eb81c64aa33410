#include "app/replay_strip/replay_strip.h"

#include <QGridLayout>
#include <QLocale>
#include <QSignalBlocker>

#include "app/replay/recorded_time.h"

namespace {

struct SpeedEntry {
  const char* text;
  ReplaySpeed speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {"5 lines/s", ReplaySpeed::LinesPerSecond},         {"Recorded time ×1", ReplaySpeed::Recorded1},
    {"Recorded time ×2", ReplaySpeed::Recorded2},       {"Recorded time ×5", ReplaySpeed::Recorded5},
    {"Recorded time ×10", ReplaySpeed::Recorded10},     {"Recorded time ×60", ReplaySpeed::Recorded60},
    {"As fast as possible", ReplaySpeed::AsFast},
};

}  // namespace

ReplayStrip::ReplayStrip(QWidget* parent) : QWidget(parent) {
  setFixedHeight(kHeight);
  setAutoFillBackground(true);
  NameLabel = new QLabel(this);
  NameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  SpeedBox = new QComboBox(this);
  SpeedBox->setToolTip(QStringLiteral("Replay speed"));
  for (const SpeedEntry& entry : kSpeeds) SpeedBox->addItem(QString::fromUtf8(entry.text));
  auto* goLabel = new QLabel(QStringLiteral("&Go to:"), this);
  GoToEdit = new QLineEdit(this);
  GoToEdit->setPlaceholderText(QStringLiteral("line or hh:mm:ss"));
  GoToEdit->setToolTip(QStringLiteral("A line number, or a UTC time such as 12:34:56"));
  goLabel->setBuddy(GoToEdit);
  GoButton = new QPushButton(QStringLiteral("Go"), this);
  PositionSlider = new QSlider(Qt::Horizontal, this);
  PositionSlider->setRange(0, kSliderSteps);
  PositionSlider->setPageStep(kSliderSteps / 100);
  PositionSlider->setToolTip(QStringLiteral("Position in the file"));
  PositionSlider->setFocusPolicy(Qt::StrongFocus);
  // A drag seeks once, where it is let go; keys seek at every step.
  PositionSlider->setTracking(false);
  PositionLabel = new QLabel(this);
  NoteLabel = new QLabel(this);
  QPalette notePalette = NoteLabel->palette();
  notePalette.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
  NoteLabel->setPalette(notePalette);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 3, 8, 3);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  grid->addWidget(NameLabel, 0, 0);
  grid->addWidget(SpeedBox, 0, 1);
  grid->addWidget(goLabel, 0, 2);
  grid->addWidget(GoToEdit, 0, 3);
  grid->addWidget(GoButton, 0, 4);
  grid->addWidget(PositionSlider, 1, 0, 1, 2);
  grid->addWidget(PositionLabel, 1, 2, 1, 2);
  grid->addWidget(NoteLabel, 1, 4);
  grid->setColumnStretch(0, 1);
  GoToEdit->setFixedWidth(110);
  GoButton->setFixedWidth(40);
  NameLabel->setMinimumWidth(120);

  connect(SpeedBox, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) emit SpeedChosen(kSpeeds[index].speed);
  });
  connect(GoToEdit, &QLineEdit::returnPressed, this, &ReplayStrip::GoTo);
  connect(GoButton, &QPushButton::clicked, this, &ReplayStrip::GoTo);
  connect(PositionSlider, &QSlider::valueChanged, this, &ReplayStrip::SliderMoved);
}

ReplaySpeed ReplayStrip::Speed() const {
  const int index = SpeedBox->currentIndex();
  return index < 0 ? ReplaySpeed::LinesPerSecond : kSpeeds[index].speed;
}

void ReplayStrip::SetFileName(const QString& name) {
  NameLabel->setToolTip(name);
  NameLabel->setText(NameLabel->fontMetrics().elidedText(name, Qt::ElideMiddle, 180));
  NoteLabel->clear();
}

void ReplayStrip::ShowPosition(size_t played, size_t total, std::optional<int32_t> utcMs) {
  total_ = total;
  const QLocale locale;
  QString time = QStringLiteral("--:--:--");
  if (utcMs) {
    char text[16];
    const std::string_view shown = FormatUtcMs(*utcMs, text);
    time = QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size()));
  }
  const double share = total == 0 ? 0.0 : 100.0 * static_cast<double>(played) / static_cast<double>(total);
  PositionLabel->setText(QStringLiteral("Line %1 of %2  %3 UTC  %4%")
                             .arg(locale.toString(static_cast<qulonglong>(played)),
                                  locale.toString(static_cast<qulonglong>(total)), time,
                                  locale.toString(share, 'f', 1)));
  // The slider follows the replay, except while the user holds it.
  if (!PositionSlider->isSliderDown()) {
    const QSignalBlocker quiet(PositionSlider);
    PositionSlider->setValue(total == 0 ? 0 : static_cast<int>(static_cast<double>(played) * kSliderSteps / total));
  }
}

void ReplayStrip::ShowSkipped(int64_t gapMs) {
  if (gapMs < 0 || gapMs >= RecordedPace::kDayMs / 2) {
    NoteLabel->setText(QStringLiteral("Time jump skipped"));
  } else {
    NoteLabel->setText(QStringLiteral("Skipped %1 s").arg(gapMs / 1000));
  }
}

void ReplayStrip::ShowNotFound(const QString& text) { NoteLabel->setText(QStringLiteral("No %1").arg(text)); }

void ReplayStrip::GoTo() {
  const QString text = GoToEdit->text().trimmed();
  if (text.isEmpty()) return;
  NoteLabel->clear();
  if (text.contains(QLatin1Char(':'))) {
    const QByteArray latin = text.toLatin1();
    if (const auto ms = ParseUtcText(std::string_view(latin.constData(), static_cast<size_t>(latin.size())))) {
      emit TimeChosen(*ms);
    } else {
      ShowNotFound(text);
    }
    return;
  }
  bool ok = false;
  const qulonglong line = text.toULongLong(&ok);
  if (ok && line <= total_) {
    emit LineChosen(static_cast<size_t>(line));
  } else {
    ShowNotFound(QStringLiteral("line ") + text);
  }
}

void ReplayStrip::SliderMoved(int value) {
  emit LineChosen(static_cast<size_t>(static_cast<double>(value) * static_cast<double>(total_) / kSliderSteps));
}
