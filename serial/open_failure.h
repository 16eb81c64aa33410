#pragma once
// Why a serial port could not be opened or went away, in words for the user.
// The viewer's error boxes and the command-line tools print the same texts.

#include <string>
#include <sys/types.h>

// The system's text for an error number ("Input/output error").
std::string SystemErrorText(int error);

// "<path>: <reason>", the reason in the system's words, with what Linux tells
// about the cause on further lines:
// - permission denied: a line naming the device's group and how to join it,
//   when that group may use the device;
// - in use: the program holding the port's lock, by name and pid, where
//   /proc/locks tells; otherwise that another program has it.
std::string DescribeOpenFailure(const std::string& path, int error);

// The process holding a lock on the file at `path` according to `locksFile`
// (the format of /proc/locks); -1 when none is listed.
pid_t LockHolder(const std::string& path, const std::string& locksFile = "/proc/locks");
