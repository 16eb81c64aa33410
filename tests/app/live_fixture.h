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
#include "pty_pair.h"

// A pseudo-terminal pair standing in for the receiver: the window opens the
// slave path, the test writes (the receiver "sends") and reads the master end.
class PtyEnd : public PtyPair {
 public:
  QString SlavePath() const { return QString::fromStdString(PtyPair::SlavePath()); }
  // What the window sent, through a cold start's closing and reopening of the line.
  std::string Read(size_t count, std::chrono::milliseconds timeout) {
    const std::vector<uint8_t> got = PtyPair::Read(count, timeout, true);
    return {got.begin(), got.end()};
  }

  // The line settings of the slave as the window left them (a master shares its slave's).
  speed_t Speed() const;
  bool TwoStopBits() const;
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
