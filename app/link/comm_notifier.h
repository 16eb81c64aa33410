#pragma once

#include <QObject>
#include <QSocketNotifier>

class TComm;

// Delivers a TComm's notifications on the GUI thread: the component's wake-up
// descriptor stays readable while notifications wait, and each activation
// hands the waiting ones to the component's event handlers in posting order.
class CommNotifier : public QObject {
  Q_OBJECT

 public:
  explicit CommNotifier(TComm& comm, QObject* parent = nullptr);

 private:
  TComm& Comm;
  QSocketNotifier Notifier;
};
