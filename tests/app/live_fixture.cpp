#include "live_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

#include "app/window/bitmaps.h"
#include "app/logging/nmea_log_name.h"

PtyEnd::PtyEnd() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    throw std::runtime_error("cannot create a pseudo-terminal");
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("ptsname_r failed");
  slavePath_ = name;
}

PtyEnd::~PtyEnd() { CloseMaster(); }

void PtyEnd::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PtyEnd::Write(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw std::runtime_error("write to the pseudo-terminal failed");
    done += static_cast<size_t>(n);
  }
}

std::string PtyEnd::Read(size_t count, std::chrono::milliseconds timeout) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + timeout;
  char buffer[4096];
  while (got.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    // EIO while the window has the slave closed (between a cold start's close and reopen).
    if (n < 0 && errno == EIO) {
      QTest::qSleep(5);
      continue;
    }
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

speed_t PtyEnd::Speed() const {
  termios t{};
  if (::tcgetattr(master_, &t) != 0) return 0;
  return ::cfgetospeed(&t);
}

bool PtyEnd::TwoStopBits() const {
  termios t{};
  return ::tcgetattr(master_, &t) == 0 && (t.c_cflag & CSTOPB) != 0;
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
