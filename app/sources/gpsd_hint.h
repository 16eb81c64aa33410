#pragma once

#include <QString>

#include <functional>
#include <string>

inline constexpr const char* kGpsdHoldsReceiver =
    "gpsd is using this receiver: enter gpsd://localhost as the port to view it through gpsd.";

// A serial port's open failure with a line pointing to gpsd added when gpsd
// holds the port: the failure names gpsd as the holder, or names no holder
// (gpsd claims ports without a lock Linux reports) while a gpsd runs.
QString WithGpsdHint(const QString& failure, const std::function<bool()>& gpsdRunning);

// Whether a process named gpsd runs on this machine.
bool GpsdRunning();

// The process id of a gpsd that has the device at `path` open, or -1 (also
// when its descriptors cannot be read, as another user's cannot). gpsd takes
// a port without any lock or exclusive flag, so a second reader would open it
// and share its bytes with gpsd: each would lose what the other read.
long GpsdHolding(const std::string& path);
