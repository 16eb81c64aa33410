#pragma once

#include <QString>

#include <functional>

// Reads a network source without a window, for a command-line tool: for
// `seconds` (0: no limit), until the source ends, or until SIGINT. Needs a
// QCoreApplication.
struct SourceReading {
  QString failure;  // why it could not connect ("Cannot connect to ..."); empty once connected
  QString ended;    // why it ended before its time, empty when the time ran out or on SIGINT
  bool interrupted = false;
};

SourceReading ReadSource(const QString& text, double seconds,
                         const std::function<void(const char* bytes, qsizetype length)>& onBytes);

// Makes the application object Qt's sockets need, unless there is one: a
// tool that reads files or serial ports never makes one.
void EnsureCoreApplication();

// The texts a tool prints when a source cannot connect or ends.
QString CannotConnectText(const QString& source, const QString& reason);
QString ConnectionClosedText(const QString& source, const QString& reason);
