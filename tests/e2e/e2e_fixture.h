#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

#include "form_fixture.h"
#include "sim_process.h"

// Bounds for waiting on the simulator and the window. A connection shows its
// first fix within about three seconds; a shared, busy CI machine gets more.
inline constexpr int kFirstFixPatienceMs = 10000;
inline constexpr int kPatienceMs = 15000;

// The window, shown offscreen, talking to quorvane-sim over a pseudo-terminal.
class E2eFixture : public FormFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts a simulator (stopped again at the end of the test); null after a
  // reported failure.
  SimProcess* StartSim(const QStringList& args);

  // Types the device and the baud rate into their boxes and clicks connect.
  void Connect(const QString& device, int baud);

  // Serves the event loop until `done` holds or `timeoutMs` passes.
  static bool WaitFor(const std::function<bool()>& done, int timeoutMs);
  // Waits until the refresh tick has run `ticks` more times.
  bool WaitForTicks(int ticks, int timeoutMs);

  QString WorkPath(const QString& name) const { return Work.filePath(name); }
  static QByteArray ReadFile(const QString& path);

  // The colour of a satellite's bar and dot, by whether it is in the solution.
  static QRgb SatelliteColour(bool inSolution, int fixType);
  // The signal bars, the grid numbers and the sky-view dots of the last
  // refresh agree with the decoder's satellite table.
  void ExpectSatellitesDrawn();

  // The status fields, for failure messages.
  std::string Fields() const;

  QTemporaryDir Work;
  std::vector<std::unique_ptr<SimProcess>> Sims;
};
