#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// quorvane-sim as a child process: the virtual receiver the viewer connects to.
// Its standard error goes to a file so it can be read while it runs; the
// process is ended when this object goes.
class SimProcess {
 public:
  SimProcess() = default;
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Starts the simulator with `args` and reads the device path from its first
  // line of output. `stderrFile` receives its standard error.
  ::testing::AssertionResult Start(const QStringList& args, const QString& stderrFile);

  QString Device() const { return Device_; }
  bool Running() const { return Process.state() != QProcess::NotRunning; }
  // Waits (serving the event loop) until the simulator has ended by itself.
  bool WaitForExit(int timeoutMs);
  void Stop();

  QString Stderr() const;
  // Lines of standard error that begin with `prefix`.
  QStringList StderrLines(const QString& prefix) const;

 private:
  QProcess Process;
  QString Device_;
  QString StderrFile;
};
