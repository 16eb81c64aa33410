#include <QStyle>

#include "app/views/gnss_sky.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

// Width left for text in a grid cell: the column less its grid line and the
// style's margin on either side.
int GridCellTextWidth(const QTableWidget& grid) {
  const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
  return grid.columnWidth(1) - 1 - 2 * margin;
}

// The satellite steps of the refresh in GNSS mode: the grid and the bars show
// the first twelve in display order, the sky view every satellite. Cells past
// the satellites are emptied, since the order changes from one refresh to the next.
void TMainForm::UpdateGnssSatellites(QImage& sky) {
  const CNMEAParser& record = NMEAParser;
  const std::vector<int> order = GnssDisplayOrder(record);
  const QFont gridFont = GnssGridFont(font(), GridCellTextWidth(*StringGrid1));
  if (StringGrid1->font() != gridFont) StringGrid1->setFont(gridFont);
  for (int column = 1; column < StringGrid1->columnCount(); ++column) {
    const size_t i = static_cast<size_t>(column - 1);
    const QString text = i < order.size() ? GnssSatLabel(record.GnssSats[order[i]]) : QString();
    QTableWidgetItem* cell = StringGrid1->item(0, column);
    if (cell->text() != text) cell->setText(text);
  }
  DrawGnssSignalBars(Image2->Canvas(), record, order);
  DrawGnssModeMark(sky, *EarthBitmap, true);
  DrawGnssSkyDots(sky, record, order);
}
