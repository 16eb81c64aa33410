#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPalette>
#include <QTest>

#include "form_fixture.h"

namespace {

using MainFormInitial = FormFixture;

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

TEST_F(MainFormInitial, CaptionAndFixedSize) {
  TMainForm& form = ShowForm();
  EXPECT_EQ(form.windowTitle(), "Quorvane Viewer V0.99.b");
  EXPECT_EQ(form.size(), QSize(632, 475));
  form.resize(800, 600);
  EXPECT_EQ(form.size(), QSize(632, 475));
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(MainFormInitial, ControlsEnabledAsInIdleMode) {
  TMainForm& form = ShowForm();
  struct Case {
    QWidget* control;
    bool enabled;
  };
  const Case cases[] = {
      {form.ComComboBox1, true}, {form.BaudComboBox1, true}, {form.ComBtn1, true},
      {form.ColdStartButton1, false}, {form.LogButton, true}, {form.LoadButton, true},
      {form.ParserButton, true}, {form.ChipComboBox, false}, {form.SpeedEdit, true},
  };
  for (const Case& c : cases) EXPECT_EQ(c.control->isEnabled(), c.enabled) << c.control->objectName().toStdString();
  EXPECT_TRUE(form.NMEATimer->isActive());
  EXPECT_EQ(form.NMEATimer->interval(), 1000);
  EXPECT_FALSE(form.ParserTimer->isActive());
  EXPECT_EQ(form.ParserTimer->interval(), 1000);
}

TEST_F(MainFormInitial, CaptionsHintsAndGlyphs) {
  TMainForm& form = ShowForm();
  struct Case {
    QAbstractButton* button;
    const char* caption;
    const char* hint;
  };
  const Case cases[] = {
      {form.ComBtn1, "GPS", "Connect"},
      {form.ColdStartButton1, "ColdStart", "Send Cold Start Command"},
      {form.LogButton, "Log", "Log NMEA data"},
      {form.LoadButton, "Open", "Load NMEA File"},
      {form.ParserButton, "Parser", "Start Parser NMEA File"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.button->text(), c.caption);
    EXPECT_EQ(c.button->toolTip(), c.hint);
    const QImage glyph = c.button->icon().pixmap(16, 16).toImage();
    ASSERT_FALSE(glyph.isNull());
    // The lower-left pixel's colour is the transparent one; the figure shows.
    EXPECT_EQ(qAlpha(glyph.pixel(0, glyph.height() - 1)), 0);
    int opaque = 0;
    for (int y = 0; y < glyph.height(); ++y) {
      for (int x = 0; x < glyph.width(); ++x) opaque += qAlpha(glyph.pixel(x, y)) == 255;
    }
    EXPECT_GT(opaque, 20);
  }
  EXPECT_EQ(form.Button1->text(), "Button1");
  EXPECT_EQ(form.Button2->text(), "Button2");
}

TEST_F(MainFormInitial, DisabledButtonShowsItsGlyphGreyed) {
  TMainForm& form = ShowForm();
  const QIcon icon = form.ColdStartButton1->icon();
  const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
  const QImage disabled = icon.pixmap(16, 16, QIcon::Disabled).toImage();
  int coloured = 0;
  int greyMismatch = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const QRgb n = normal.pixel(x, y);
      const QRgb d = disabled.pixel(x, y);
      if (qAlpha(n) == 255 && qRed(n) > qBlue(n) + 60) ++coloured;
      if (qAlpha(d) > 0 && (std::abs(qRed(d) - qGreen(d)) > 24 || std::abs(qGreen(d) - qBlue(d)) > 24)) ++greyMismatch;
    }
  }
  EXPECT_GT(coloured, 10);  // the flame is red and orange when enabled
  EXPECT_EQ(greyMismatch, 0);
}

TEST_F(MainFormInitial, ComboBoxTexts) {
  Sysfs.AddPort("ttyUSB0");
  Sysfs.AddPort("ttyS0", 4);
  TMainForm& form = ShowForm();
  EXPECT_EQ(form.ChipComboBox->currentText(), "SiRF");
  EXPECT_EQ(form.ChipComboBox->currentIndex(), 2);
  EXPECT_EQ(Items(form.ChipComboBox), (QStringList{"Auto Chip Select", "Skytraq", "SiRF"}));
  EXPECT_EQ(form.BaudComboBox1->currentText(), "4800");
  EXPECT_EQ(Items(form.BaudComboBox1), (QStringList{"4800", "9600", "38400"}));
  EXPECT_EQ(Items(form.ComComboBox1), (QStringList{"ttyS0", "ttyUSB0"}));
  EXPECT_EQ(form.ComComboBox1->currentText(), "ttyS0");
  for (QComboBox* box : {form.ChipComboBox, form.ComComboBox1, form.BaudComboBox1}) EXPECT_TRUE(box->isEditable());
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainFormInitial, PortBoxWithoutPortsKeepsItsStoredText) {
  TMainForm& form = ShowForm();
  EXPECT_EQ(form.ComComboBox1->count(), 0);
  EXPECT_EQ(form.ComComboBox1->currentText(), "ComComboBox1");
}

TEST_F(MainFormInitial, StatusFieldsStartEmptyAndReadOnlyButSpeed) {
  TMainForm& form = ShowForm();
  for (QLineEdit* edit : {form.TTFFEdit1, form.LatitudeEdit1, form.LongitudeEdit1, form.AltitudeEdit1,
                          form.FixEdit1, form.GPSTimeEdit1}) {
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
  }
  EXPECT_FALSE(form.SpeedEdit->isReadOnly());
  QTest::keyClicks(form.SpeedEdit, "12");
  EXPECT_EQ(form.SpeedEdit->text(), "12");
  EXPECT_EQ(form.TTFFEdit1->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(form.Edit1->text(), "Edit1");
  const QStringList labels = {form.Label3->text(), form.Label19->text(), form.Label20->text(), form.Label21->text(),
                              form.Label1->text(), form.Label4->text(), form.Label2->text()};
  EXPECT_EQ(labels, (QStringList{"TTFF", "Latitude", "Longitude", "Altitude", "Fix Mode", "Speed", "GPS Time"}));
  EXPECT_EQ(form.Label19->font().pixelSize(), 13);
}

TEST_F(MainFormInitial, HiddenControlsLieOutsideTheClientArea) {
  TMainForm& form = ShowForm();
  const QRect client(0, 0, 632, 475);
  for (QWidget* hidden : std::initializer_list<QWidget*>{form.Button1, form.Button2, form.ListBox2, form.ListBox3, form.Edit1}) {
    EXPECT_EQ(hidden->parentWidget(), &form);
    EXPECT_FALSE(hidden->isHidden());  // they exist and work; the window just never shows them
    EXPECT_FALSE(client.intersects(hidden->geometry())) << hidden->objectName().toStdString();
  }
  for (QWidget* shown : form.Panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    EXPECT_TRUE(client.contains(shown->geometry())) << shown->objectName().toStdString();
  }
}

TEST_F(MainFormInitial, GridHasTwelveCellsBesideASkyBlueHeading) {
  TMainForm& form = ShowForm();
  ASSERT_EQ(form.StringGrid1->columnCount(), 13);
  ASSERT_EQ(form.StringGrid1->rowCount(), 1);
  EXPECT_EQ(form.StringGrid1->item(0, 0)->background().color(), QColor(0xA6, 0xCA, 0xF0));
  for (int column = 1; column < 13; ++column) {
    EXPECT_EQ(form.StringGrid1->columnViewportPosition(column), 26 * column);
    EXPECT_FALSE(form.StringGrid1->item(0, column)->flags() & Qt::ItemIsEditable);
  }
  EXPECT_EQ(form.StringGrid1->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainFormInitial, ListRowsAreThirteenPixelsHigh) {
  TMainForm& form = ShowForm();
  for (int i = 0; i < 40; ++i) form.ListBox1Lines->appendLine("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,,,*47");
  form.ListBox1Lines->flush();
  const QRect first = form.ListBox1->visualRect(form.ListBox1Lines->index(0));
  const QRect second = form.ListBox1->visualRect(form.ListBox1Lines->index(1));
  EXPECT_EQ(first.height(), 13);
  EXPECT_EQ(second.top() - first.top(), 13);
}

TEST_F(MainFormInitial, TabOrderFollowsTheLayoutAndSkipsHiddenControls) {
  TMainForm& form = ShowForm();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.ComComboBox1->setFocus();
  QStringList stops;
  for (int i = 0; i < 30; ++i) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    // An editable box's line edit has no name of its own; the stop is the box.
    while (focus->objectName().isEmpty() || focus->objectName().startsWith("qt_")) focus = focus->parentWidget();
    if (!stops.contains(focus->objectName())) stops << focus->objectName();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(stops, (QStringList{"ComComboBox1", "BaudComboBox1", "ListBox1", "TTFFEdit1", "LatitudeEdit1",
                                "LongitudeEdit1", "AltitudeEdit1", "FixEdit1", "GPSTimeEdit1", "SpeedEdit",
                                "ComBtn1", "LogButton", "LoadButton", "ParserButton"}));
}

}  // namespace
