#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>

// SIGTERM, SIGINT and SIGHUP (a logout, kill, Ctrl+C in the terminal) end the
// viewer the way its close box does, so the port is released and a running
// log is saved. The handler only writes the signal's number into a pipe; the
// event loop reads it and calls `onSignal` on the GUI thread, once: further
// signals find the window already closing (kill -9 remains for a hung one).
class SignalCloser : public QObject {
 public:
  explicit SignalCloser(std::function<void()> onSignal, QObject* parent = nullptr);
  ~SignalCloser() override;

 private:
  void Drain();

  std::function<void()> CloseWindow;
  QSocketNotifier* Notifier = nullptr;
  bool Handled = false;
};
