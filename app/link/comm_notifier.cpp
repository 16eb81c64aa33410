#include "app/link/comm_notifier.h"

#include "app/dialogs/message_box.h"
#include "serial/comm.h"

CommNotifier::CommNotifier(TComm& comm, QObject* parent)
    : QObject(parent), Comm(comm), Notifier(comm.NotifyFd(), QSocketNotifier::Read) {
  // An exception from a handler is reported; the notifications not yet
  // handled keep the descriptor readable, so they follow at the next pass of
  // the event loop.
  connect(&Notifier, &QSocketNotifier::activated, this,
          [this] { RunReported([this] { Comm.DispatchNotifications(); }); });
}
