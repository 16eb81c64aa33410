#include "app/stats/figures_panel.h"

#include <QHeaderView>
#include <QLocale>

#include <string_view>

#include "figure_text.h"

namespace {

// Decimals to show: about a millimetre in degrees and metres, a tenth of a
// dB-Hz, two for the mean counts and HDOP.
int Decimals(std::string_view unit) {
  if (unit == "deg") return 8;
  if (unit == "m") return 3;
  if (unit == "dB-Hz") return 1;
  return 2;
}

QTableWidgetItem* Cell(Qt::Alignment alignment) {
  auto* cell = new QTableWidgetItem();
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  cell->setTextAlignment(alignment | Qt::AlignVCenter);
  return cell;
}

}  // namespace

FiguresPanel::FiguresPanel(QWidget* parent) : QTableWidget(static_cast<int>(stats::kFigureRows), 3, parent) {
  setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value"), QStringLiteral("Unit")});
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  setEditTriggers(NoEditTriggers);
  setSelectionMode(NoSelection);
  setFocusPolicy(Qt::NoFocus);
  const auto rows = stats::FigureTexts({});
  for (int r = 0; r < rowCount(); ++r) {
    const auto& row = rows[static_cast<size_t>(r)];
    setItem(r, 0, Cell(Qt::AlignLeft));
    setItem(r, 1, Cell(Qt::AlignRight));
    setItem(r, 2, Cell(Qt::AlignLeft));
    item(r, 0)->setText(QString::fromLatin1(row.Name.data(), static_cast<qsizetype>(row.Name.size())));
    item(r, 2)->setText(QString::fromLatin1(row.Unit.data(), static_cast<qsizetype>(row.Unit.size())));
  }
  Refresh({});
  // A tester opens the window for these figures: every row in sight, never
  // scrolled, with room for a longitude in full beside the longest name.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int frames = 2 * frameWidth();
  setFixedHeight(horizontalHeader()->sizeHint().height() + rowCount() * verticalHeader()->defaultSectionSize() +
                 frames);
  constexpr int kCellPadding = 8;
  setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MeanSnrTop4 -179.12345678 dB-Hz")) +
                  columnCount() * kCellPadding + frames);
}

void FiguresPanel::Refresh(const stats::AccuracyFigures& figures) {
  const QLocale locale;
  const auto rows = stats::FigureTexts(figures);
  for (int r = 0; r < rowCount(); ++r) {
    const auto& row = rows[static_cast<size_t>(r)];
    QString text = QStringLiteral("–");
    if (row.Value) {
      // The counts come first and are whole.
      const bool count = static_cast<size_t>(r) < stats::kFigureRows - stats::kFigureCount;
      text = count ? locale.toString(static_cast<qulonglong>(*row.Value))
                   : locale.toString(*row.Value, 'f', Decimals(row.Unit));
    }
    QTableWidgetItem* value = item(r, 1);
    if (value->text() != text) value->setText(text);
    value->setToolTip(QString::fromStdString(row.Text));
  }
}
