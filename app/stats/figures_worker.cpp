#include "app/stats/figures_worker.h"

#include <QMetaObject>

#include <new>
#include <utility>

FiguresWorker::~FiguresWorker() {
  if (thread_.joinable()) thread_.join();
}

bool FiguresWorker::Start(const StatsSession& session) {
  if (running_) return false;
  if (thread_.joinable()) thread_.join();  // finished: its result has come
  running_ = true;
  thread_ = std::thread([this, input = session.TakeFiguresInput()] {
    stats::AccuracyFigures figures;
    try {
      figures = input.Compute();
    } catch (const std::bad_alloc&) {
      // Out of memory for the distances: the window keeps the last figures.
      QMetaObject::invokeMethod(this, [this] { running_ = false; }, Qt::QueuedConnection);
      return;
    }
    // Queued to this object's thread; dropped with the object if it is
    // destroyed first (its destructor waits for this thread).
    QMetaObject::invokeMethod(
        this,
        [this, version = input.For, figures = std::move(figures)] {
          running_ = false;
          emit computed(version, figures);
        },
        Qt::QueuedConnection);
  });
  return true;
}
