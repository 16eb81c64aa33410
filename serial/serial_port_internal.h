#pragma once
// Helpers shared by the serial layer's own files.

#include <cstdint>

#include "serial_platform.h"

struct termios;

namespace serial_platform {

uint32_t ErrorFromErrno(int error);
CommTimeouts CurrentTimeouts(Port* port);

// Compares the device's error counters with those last seen and records a
// line-error event for any that moved. Called on the receiving thread.
void NoteLineErrors(Port* port);

// Raw mode: no echo, no line editing, no signals, bytes passed unchanged.
void RawLine(termios& t);
// Raw mode plus the block's framing and flow control, onto `t`; false for a
// block no line can take (nothing is changed then). The rate is left alone.
bool LineFromControlBlock(const DeviceControlBlock& dcb, termios& t);

// Line flags in the kernel's own layout, for rates termios cannot name.
struct KernelLineFlags {
  uint32_t iflag = 0;
  uint32_t oflag = 0;
  uint32_t cflag = 0;
  uint32_t lflag = 0;
  uint8_t cc[19] = {};
};

bool SetLineWithRate(int fd, const KernelLineFlags& flags, uint32_t rate);
bool GetLineRate(int fd, uint32_t* rate);

}  // namespace serial_platform
