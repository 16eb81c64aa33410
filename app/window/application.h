#pragma once

#include <QApplication>

// The viewer's application object. An exception that leaves an event handler
// is reported in a message box and the event loop carries on with the next
// event, so one failed click never ends the program.
class QuorvaneApplication : public QApplication {
 public:
  QuorvaneApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

// Settings that must be in place before the application object exists:
// sizes are device pixels whatever the screen's dots per inch.
void PrepareApplicationEnvironment();
