#include "app/stats/reference_box.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include <string>

#include "app/settings/settings.h"
#include "app/stats/reference_input.h"
#include "real_text.h"

namespace {

const QColor kInvalidBase(255, 205, 205);

void ShowState(QLineEdit& edit, FieldState state) {
  if (state != FieldState::Invalid) {
    edit.setPalette(QPalette());  // the window's own again
    return;
  }
  QPalette p = edit.palette();
  for (auto group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, QPalette::Base, kInvalidBase);
  edit.setPalette(p);
}

QString RealText(double v) {
  std::string text;
  nmea::AppendReal(text, v);
  return QString::fromStdString(text);
}

}  // namespace

ReferenceBox::ReferenceBox(QWidget* parent) : QGroupBox(QStringLiteral("Reference"), parent) {
  MeanButton = new QRadioButton(QStringLiteral("Mean"), this);
  FixedButton = new QRadioButton(QStringLiteral("Fixed"), this);
  auto* group = new QButtonGroup(this);
  group->addButton(MeanButton);
  group->addButton(FixedButton);
  LatEdit = new QLineEdit(this);
  LonEdit = new QLineEdit(this);
  AltEdit = new QLineEdit(this);
  UseMeanButton = new QPushButton(QStringLiteral("Use mean"), this);
  InUse = new QLabel(this);

  // Only the characters of a decimal number can be typed; whether it is
  // finished and in range is Check's to say.
  auto* validator =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]*\\.?[0-9]*")), this);
  const struct {
    QLineEdit* edit;
    const char* label;
    const char* hint;
  } fields[] = {{LatEdit, "Latitude (°)", "Decimal degrees, -90 to 90, north positive"},
                {LonEdit, "Longitude (°)", "Decimal degrees, -180 to 180, east positive"},
                {AltEdit, "Altitude (m)", "Metres, -11000 to 100000; empty: the samples' mean altitude"}};
  auto* layout = new QGridLayout(this);
  layout->addWidget(MeanButton, 0, 0);
  layout->addWidget(FixedButton, 0, 1);
  layout->addWidget(UseMeanButton, 0, 2);
  int row = 1;
  for (const auto& f : fields) {
    f.edit->setValidator(validator);
    f.edit->setToolTip(QString::fromUtf8(f.hint));
    layout->addWidget(new QLabel(QString::fromUtf8(f.label), this), row, 0);
    layout->addWidget(f.edit, row++, 1, 1, 2);
    connect(f.edit, &QLineEdit::textChanged, this, &ReferenceBox::Check);
  }
  layout->addWidget(InUse, row, 0, 1, 3);

  const StatsReferenceSetting saved = StatsReferenceSettingValue();
  LatEdit->setText(saved.Lat);
  LonEdit->setText(saved.Lon);
  AltEdit->setText(saved.Alt);
  (saved.Fixed ? FixedButton : MeanButton)->setChecked(true);
  connect(FixedButton, &QRadioButton::toggled, this, &ReferenceBox::Check);
  connect(UseMeanButton, &QPushButton::clicked, this, &ReferenceBox::useMeanRequested);
  Check();
}

void ReferenceBox::SetFixedPoint(double lat, double lon, std::optional<double> alt) {
  {
    // One check for the whole point, not one for each half-filled state.
    const QSignalBlocker blockLat(LatEdit), blockLon(LonEdit), blockAlt(AltEdit), blockFixed(FixedButton);
    LatEdit->setText(RealText(lat));
    LonEdit->setText(RealText(lon));
    AltEdit->setText(alt ? RealText(*alt) : QString());
    FixedButton->setChecked(true);
  }
  Check();
}

void ReferenceBox::Check() {
  const bool fixed = FixedButton->isChecked();
  const ReferenceInput in = CheckReference(LatEdit->text().toStdString(), LonEdit->text().toStdString(),
                                           AltEdit->text().toStdString());
  // Latitude and longitude are needed; the altitude may stay empty.
  ShowState(*LatEdit, !fixed ? FieldState::Valid : in.Lat == FieldState::Empty ? FieldState::Invalid : in.Lat);
  ShowState(*LonEdit, !fixed ? FieldState::Valid : in.Lon == FieldState::Empty ? FieldState::Invalid : in.Lon);
  ShowState(*AltEdit, !fixed ? FieldState::Valid : in.Alt);
  for (QLineEdit* edit : {LatEdit, LonEdit, AltEdit}) edit->setEnabled(fixed);

  const std::optional<stats::FixedPoint> before = reference_;
  reference_ = fixed ? in.Point : std::nullopt;
  if (!fixed) {
    InUse->setText(QStringLiteral("In use: the mean of the samples"));
  } else if (reference_) {
    InUse->setText(QStringLiteral("In use: the fixed point"));
  } else {
    InUse->setText(QStringLiteral("The fixed point is not complete: the mean is in use"));
  }
  SaveStatsReferenceSetting({fixed, LatEdit->text(), LonEdit->text(), AltEdit->text()});
  const auto same = [](const std::optional<stats::FixedPoint>& a, const std::optional<stats::FixedPoint>& b) {
    return a.has_value() == b.has_value() && (!a || (a->Lat == b->Lat && a->Lon == b->Lon && a->Alt == b->Alt));
  };
  if (!same(before, reference_)) emit referenceChanged();
}
