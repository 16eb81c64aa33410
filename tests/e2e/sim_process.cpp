#include "sim_process.h"

#include <algorithm>

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include "app/sources/source_address.h"

SimProcess::~SimProcess() { Stop(); }

::testing::AssertionResult SimProcess::Start(const QStringList& args, const QString& stderrFile) {
  StderrFile = stderrFile;
  Process.setProgram(QStringLiteral(QV_SIM_PATH));
  Process.setArguments(args);
  Process.setStandardErrorFile(stderrFile);
  Process.start(QIODevice::ReadOnly);
  if (!Process.waitForStarted(10000))
    return ::testing::AssertionFailure() << "quorvane-sim did not start: " << Process.errorString().toStdString();

  const QDeadlineTimer deadline(10000);
  while (!Process.canReadLine() && !deadline.hasExpired()) {
    if (Process.state() == QProcess::NotRunning) break;
    Process.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
  }
  if (!Process.canReadLine())
    return ::testing::AssertionFailure() << "quorvane-sim printed no device; stderr: " << Stderr().toStdString();
  Device_ = QString::fromLocal8Bit(Process.readLine()).trimmed();
  if (!Device_.startsWith(QLatin1Char('/')) && !IsSourceText(Device_))
    return ::testing::AssertionFailure() << "quorvane-sim printed '" << Device_.toStdString() << "'";
  return ::testing::AssertionSuccess();
}

bool SimProcess::WaitForExit(int timeoutMs) {
  return QTest::qWaitFor([this] { return Process.state() == QProcess::NotRunning; }, timeoutMs);
}

void SimProcess::Stop() {
  if (Process.state() == QProcess::NotRunning) return;
  Process.terminate();
  if (!Process.waitForFinished(3000)) {
    Process.kill();
    Process.waitForFinished(3000);
  }
}

QString SimProcess::Stderr() const {
  QFile file(StderrFile);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLocal8Bit(file.readAll());
}

QStringList SimProcess::StderrLines(const QString& prefix) const {
  QStringList found;
  for (const QString& line : Stderr().split(QLatin1Char('\n'))) {
    if (line.startsWith(prefix)) found << line;
  }
  return found;
}
