#include <QStyle>

#include "app/views/gnss_sky.h"
#include "app/views/signal_chart.h"
#include "app/views/sky_view.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

// Width left for text in a grid cell: the column less its grid line and the
// style's margin on either side.
int GridCellTextWidth(const QTableWidget& grid) {
  const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
  return grid.columnWidth(1) - 1 - 2 * margin;
}

// The satellite steps of the refresh: the grid and the bars show the first
// twelve satellites, the sky view every one. GNSS mode shows them used first
// and labels them by system and number; since that order changes from one
// refresh to the next, it empties the cells past them. The default mode keeps
// the table's order and its PRNs, and leaves the cells past the count the
// receiver announced as they were.
void TMainForm::UpdateSatellites(CanvasImage& sky) {
  const CNMEAParser& record = NMEAParser;
  const bool gnss = record.GnssMode();
  const SatelliteView sats = gnss ? SatelliteView(record).UsedFirst() : SatelliteView(record);
  if (gnss) {
    const QFont gridFont = GnssGridFont(font(), GridCellTextWidth(*StringGrid1));
    if (StringGrid1->font() != gridFont) StringGrid1->setFont(gridFont);
  }
  for (int column = 1; column <= kChartSlots; ++column) {
    const int i = column - 1;
    if (!gnss && i >= sats.Count()) break;
    QString text;
    if (i < sats.Count() && sats[i].Nmea != 0) text = gnss ? GnssSatLabel(sats[i]) : QString::number(sats[i].Nmea);
    QTableWidgetItem* cell = StringGrid1->item(0, column);
    if (cell->text() != text) cell->setText(text);
  }
  DrawSignalBars(Image2->Canvas(), sats);
  if (gnss) {
    DrawGnssModeMark(sky.Canvas(), *EarthBitmap, true);
    DrawGnssSkyDots(sky.Canvas(), sats);
  } else {
    DrawSkyDots(sky.Canvas(), sats);
    if (sats.Count() > 0) {
      // The dot labels leave the canvas's font white and bold for whatever text comes next.
      sky.FontColour = Qt::white;
      sky.FontBold = true;
    }
  }
}
