#pragma once

#include <QAbstractButton>
#include <QString>
#include <QTemporaryDir>

#include <termios.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "form_fixture.h"

// A pseudo-terminal pair standing in for the receiver: the window opens the
// slave path, the test writes and reads the master end.
class PtyEnd {
 public:
  PtyEnd();
  ~PtyEnd();
  PtyEnd(const PtyEnd&) = delete;
  PtyEnd& operator=(const PtyEnd&) = delete;

  QString SlavePath() const { return QString::fromStdString(slavePath_); }
  int Master() const { return master_; }
  void CloseMaster();

  // Writes every byte at the master end: the receiver "sends" them.
  void Write(std::string_view bytes);
  // What the window sent: reads the master end until `count` bytes arrived or `timeout` passed.
  std::string Read(size_t count, std::chrono::milliseconds timeout);

  // The line settings of the slave as the window left them (a master shares its slave's).
  speed_t Speed() const;
  bool TwoStopBits() const;

 private:
  int master_ = -1;
  std::string slavePath_;
};

// "$" + body + "*hh" with the body's checksum.
std::string Sentence(std::string_view body);

// A window over a pseudo-terminal, logging into a folder of its own.
class LiveFixture : public FormFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A click as the user makes it: through the application's event delivery,
  // so an exception from the handler becomes a message box.
  static void Click(QAbstractButton* button);
  void Connect(const QString& port, const QString& baud = QStringLiteral("4800"));
  void Connect() { Connect(Pty.SlavePath()); }
  // Waits (serving events) until ListBox1 holds `count` lines; false after 5 s.
  bool WaitForLines(size_t count);
  std::vector<std::string> Lines(const LineListModel& model) const;
  // The NMEA log files written so far, sorted by name.
  QStringList LogFiles() const;
  static std::string ReadFile(const QString& path);

  // Whether the button shows the named glyph.
  static bool ShowsGlyph(const QAbstractButton* button, const char* name);
  void ExpectIdleControls();
  void ExpectConnectedControls();

  PtyEnd Pty;
  QTemporaryDir LogDir;
};

inline constexpr auto kPatience = std::chrono::milliseconds(5000);
