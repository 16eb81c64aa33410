#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

// Notes when a widget has painted for the first time.
class FirstPaint : public QObject {
 public:
  bool Seen = false;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) Seen = true;
    return QObject::eventFilter(watched, event);
  }

  void Wait() {
    while (!Seen) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
};
