#pragma once

#include <QObject>

#include <thread>

#include "app/stats/stats_session.h"

// Computes a session's figures on a thread of their own. A day of samples at
// 10 Hz takes some 70 ms to compute, far too long for the window's thread
// once a second; the window shows the last figures until the new ones come.
// One computation runs at a time.
class FiguresWorker : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  // Waits for a running computation; its result is never delivered.
  ~FiguresWorker() override;

  // Starts computing from the session as it stands; false, and nothing
  // started, while the last computation runs.
  bool Start(const StatsSession& session);
  bool Running() const { return running_; }
  // Blocks until the running computation has finished; its result still
  // comes through the event loop.
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }

 signals:
  // On the window's thread.
  void computed(const StatsSession::Version& version, const stats::AccuracyFigures& figures);

 private:
  std::thread thread_;
  bool running_ = false;
};
