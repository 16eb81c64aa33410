#include "live_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>
#include <termios.h>

#include "app/window/bitmaps.h"
#include "app/logging/nmea_log_name.h"

speed_t PtyEnd::Speed() const {
  termios t{};
  if (::tcgetattr(Master(), &t) != 0) return 0;
  return ::cfgetospeed(&t);
}

bool PtyEnd::TwoStopBits() const {
  termios t{};
  return ::tcgetattr(Master(), &t) == 0 && (t.c_cflag & CSTOPB) != 0;
}

std::string Sentence(std::string_view body) {
  unsigned x = 0;
  for (char c : body) x ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", x);
  return "$" + std::string(body) + tail;
}

void LiveFixture::SetUp() {
  FormFixture::SetUp();
  ASSERT_TRUE(LogDir.isValid());
  LogFolder = LogDir.path();
  ShowForm();
}

void LiveFixture::TearDown() {
  FormFixture::TearDown();
  LogFolder.clear();
}

void LiveFixture::Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

void LiveFixture::Connect(const QString& port, const QString& baud) {
  Form->ComComboBox1->setEditText(port);
  Form->BaudComboBox1->setEditText(baud);
  Click(Form->ComBtn1);
}

bool LiveFixture::WaitForLines(size_t count) {
  return QTest::qWaitFor([&] { return Form->ListBox1Lines->count() >= count; }, kPatience.count());
}

std::vector<std::string> LiveFixture::Lines(const LineListModel& model) const {
  std::vector<std::string> lines;
  for (size_t i = 0; i < model.count(); ++i) lines.emplace_back(model.lineBytes(i));
  return lines;
}

QStringList LiveFixture::LogFiles() const {
  QStringList files;
  for (const QString& name : QDir(LogDir.path()).entryList({QStringLiteral("nmea_*.txt")}, QDir::Files, QDir::Name))
    files << LogDir.filePath(name);
  return files;
}

std::string LiveFixture::ReadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

bool LiveFixture::ShowsGlyph(const QAbstractButton* button, const char* name) {
  return button->icon().pixmap(16, 16).toImage() == LoadGlyph(name).pixmap(16, 16).toImage();
}

void LiveFixture::ExpectIdleControls() {
  EXPECT_EQ(IsConnected, 0);
  EXPECT_TRUE(ShowsGlyph(Form->ComBtn1, "ID_DISCONNECT"));
  EXPECT_FALSE(ShowsGlyph(Form->ComBtn1, "ID_CONNECT"));
  EXPECT_EQ(Form->ComBtn1->toolTip(), "Connect");
  EXPECT_TRUE(Form->ComComboBox1->isEnabled());
  EXPECT_TRUE(Form->BaudComboBox1->isEnabled());
  EXPECT_TRUE(Form->ComBtn1->isEnabled());
  EXPECT_FALSE(Form->ColdStartButton1->isEnabled());
  EXPECT_TRUE(Form->LogButton->isEnabled());
  EXPECT_TRUE(Form->LoadButton->isEnabled());
  EXPECT_TRUE(Form->ParserButton->isEnabled());
}

void LiveFixture::ExpectConnectedControls() {
  EXPECT_EQ(IsConnected, 1);
  EXPECT_TRUE(ShowsGlyph(Form->ComBtn1, "ID_CONNECT"));
  EXPECT_EQ(Form->ComBtn1->toolTip(), "Disconnect");
  EXPECT_FALSE(Form->ComComboBox1->isEnabled());
  EXPECT_FALSE(Form->BaudComboBox1->isEnabled());
  EXPECT_TRUE(Form->ComBtn1->isEnabled());
  EXPECT_TRUE(Form->ColdStartButton1->isEnabled());
  EXPECT_TRUE(Form->LogButton->isEnabled());
  EXPECT_FALSE(Form->LoadButton->isEnabled());
  EXPECT_FALSE(Form->ParserButton->isEnabled());
}
