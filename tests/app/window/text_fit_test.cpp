#include <QAbstractItemView>
#include <QFontInfo>
#include <QStyleOptionFrame>

#include "app/views/status_text.h"
#include "form_fixture.h"

namespace {

using ControlTexts = FormFixture;

// Whether `text` shows whole in `edit`: the room QLineEdit paints text in (its
// contents less frame, text margins and its own 2 px a side) holds the text's
// advance and ink plus the one pixel QLineEdit adds; otherwise it scrolls and clips.
bool Fits(const QLineEdit* edit, const QString& text) {
  QStyleOptionFrame panel;
  panel.initFrom(edit);
  panel.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, edit) : 0;
  const QRect area = edit->style()->subElementRect(QStyle::SE_LineEditContents, &panel, edit) - edit->textMargins();
  const QFontMetrics metrics(edit->font());
  const QRect ink = metrics.boundingRect(text);
  return ink.left() >= -2 && std::max(metrics.horizontalAdvance(text), ink.right() + 1) + 1 <= area.width() - 4 &&
         metrics.height() <= area.height() && QFontInfo(edit->font()).family() == edit->font().family();
}

TEST_F(ControlTexts, WidestTextOfEveryFieldFitsAndTheDropDownListShowsNamesWhole) {
  for (const char* name : {"ttyUSB10", "ttyUSB-gnss-receiver-10"}) Sysfs.AddPort(name);
  TMainForm& form = ShowForm();
  const QLocale c = QLocale::c();
  CNMEAParser time;
  time.RmcYear = 2026, time.RmcMonth = 12, time.RmcDay = 28;
  time.RmcUtcHour = 23, time.RmcUtcMinute = 59, time.RmcUtcSecond = 59;
  const std::pair<QLineEdit*, QString> cases[] = {
      {form.GPSTimeEdit1, GpsTimeText(time)},              {form.LatitudeEdit1, LatitudeText(-89.999999, c)},
      {form.LongitudeEdit1, LongitudeText(-179.999999, c)}, {form.AltitudeEdit1, AltitudeText(-1234.5, c)},
      {form.SpeedEdit, SpeedText(1234.5 / 1.852, c)},       {form.TTFFEdit1, TtffText(9999)},
      {form.FixEdit1, FixText(1)},                          {form.ComComboBox1->lineEdit(), "ttyUSB10"},
      {form.BaudComboBox1->lineEdit(), "38400"},            {form.ChipComboBox->lineEdit(), "Auto Chip Select"},
  };
  EXPECT_EQ(cases[0].second, "2026/12/28   23:59:59");
  for (const auto& [edit, text] : cases) EXPECT_TRUE(Fits(edit, text)) << text.toStdString();

  form.ComComboBox1->showPopup();
  const QAbstractItemView* list = form.ComComboBox1->view();
  EXPECT_EQ(list->textElideMode(), Qt::ElideNone);
  for (int row = 0; row < 2; ++row) {
    EXPECT_LE(list->sizeHintForIndex(list->model()->index(row, 0)).width(), list->viewport()->width()) << row;
  }
  EXPECT_EQ(form.ComComboBox1->size(), QSize(81, 21));
}

}  // namespace
