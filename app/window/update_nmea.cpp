#include <QLocale>
#include <QPalette>

#include "app/views/canvas.h"
#include "app/views/signal_chart.h"
#include "app/views/sky_view.h"
#include "app/views/status_text.h"
#include "app/window/bitmaps.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

namespace {

// A field shows its text from the start, as a read-out should, even when the
// text is wider than the field (a long GPS time), not scrolled to its end.
void SetField(QLineEdit* edit, const QString& text) {
  edit->setText(text);
  edit->setCursorPosition(0);
}

// Columns past the grid's last one are accepted and not shown.
void SetGridCell(QTableWidget& grid, int column, const QString& text) {
  if (column >= grid.columnCount()) return;
  if (QTableWidgetItem* cell = grid.item(0, column)) cell->setText(text);
}

void SetGridTextColour(QTableWidget& grid, const QColor& colour) {
  QPalette palette = grid.palette();
  if (palette.color(QPalette::Text) == colour) return;
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Text, colour);
  }
  grid.setPalette(palette);
}

}  // namespace

void TMainForm::UpdateNMEA(int) {
  const CNMEAParser& record = NMEAParser;
  const QLocale locale;

  ProgressBar1->setValue(ActivityPosition(record.SentenceTotal));

  // Draw on the image just hidden and show the one the previous refresh drew,
  // so a half-drawn sky is never on screen.
  const bool drawOnImage1 = SkyBufferToDraw(TimerTicks) == SkyBuffer::Image1;
  CanvasImage* const sky = drawOnImage1 ? Image1 : Image3;
  Image1->setVisible(!drawOnImage1);
  Image3->setVisible(drawOnImage1);
  DrawSkyBackground(sky->Canvas(), *EarthBitmap);

  if (IsLogging != 0) LogButton->setIcon(LoadGlyph(LogLampGlyph(TimerTicks)));

  DrawSignalChartBackground(Image2->Canvas());

  SetField(LatitudeEdit1, LatitudeText(record.GgaLat, locale));
  SetField(LongitudeEdit1, LongitudeText(record.GgaLon, locale));
  SetField(AltitudeEdit1, AltitudeText(record.GgaAltitude, locale));

  SetGridTextColour(*StringGrid1, GridTextColour(record.GsaFixType, StringGrid1->palette().color(QPalette::Text),
                                                 QColor(kClGray)));
  if (TtffCounts(record.GsaFixType)) ++TTFFCount;
  SetField(FixEdit1, FixText(record.GsaFixType));

  SetGridCell(*StringGrid1, 0, QStringLiteral("PN"));
  UpdateSatellites(*sky);
  Image2->update();
  sky->update();

  SetField(GPSTimeEdit1, GpsTimeText(record));
  SetField(TTFFEdit1, TtffText(TTFFCount));
  SetField(SpeedEdit, SpeedText(record.RmcSpeedKnots, locale));
}

// The refresh tick shows the record only while connected or while a replay
// plays, so what changed it last (the lines played on the tick that pauses or
// finishes a replay, the reset after a hang-up) would never be shown: this
// refresh shows it, and the display then keeps it.
void TMainForm::RefreshOnce() {
  // No second has passed since the last tick: take back the one the refresh
  // will add to the time without a 3D fix.
  if (TtffCounts(NMEAParser.GsaFixType)) --TTFFCount;
  UpdateNMEA(1);
  // A refresh draws the sky on the hidden image and shows the one drawn a
  // refresh earlier; no tick follows this one, so show what it drew. The next
  // tick then draws on the other image, hidden again.
  const bool drewImage1 = SkyBufferToDraw(TimerTicks) == SkyBuffer::Image1;
  Image1->setVisible(drewImage1);
  Image3->setVisible(!drewImage1);
}

void TMainForm::Button2Click() {
  DrawTestPattern(Image1->Canvas(), NMEAParser, Image1->FontColour, Image1->FontBold);
  Image1->update();
}
