#include "app/loading/load_strip.h"

#include <QFileInfo>
#include <QHBoxLayout>

namespace {

// The bar counts in KiB, which an int holds for files up to 2 TiB.
int KiB(uint64_t bytes) { return static_cast<int>(bytes >> 10); }

}  // namespace

LoadStrip::LoadStrip(QWidget* parent)
    : QWidget(parent),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      Bar(new QProgressBar(this)),
      Name(new QLabel(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 2, 8, 3);
  row->setSpacing(8);
  Name->setFixedWidth(220);
  row->addWidget(Name);
  row->addWidget(Bar, 1);
  CancelButton->setFixedSize(75, 25);
  row->addWidget(CancelButton);
  setFixedHeight(kHeight);
  setAutoFillBackground(true);
  hide();
}

void LoadStrip::start(const QString& fileName) {
  const QString shown = QStringLiteral("Loading %1").arg(QFileInfo(fileName).fileName());
  Name->setText(Name->fontMetrics().elidedText(shown, Qt::ElideMiddle, Name->width()));
  Name->setToolTip(fileName);
  Bar->setRange(0, 0);
  Bar->setValue(0);
}

void LoadStrip::showProgress(uint64_t done, uint64_t total) {
  if (total == 0) return;
  Bar->setRange(0, KiB(total));
  Bar->setValue(KiB(done));
}
