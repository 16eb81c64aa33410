// The device-control block on termios: raw mode always, the block's rate,
// framing and flow control mapped onto the line, DTR and RTS set by ioctl.

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial_platform.h"
#include "serial_port_internal.h"

namespace serial_platform {
namespace {

struct RateCode {
  uint32_t rate;
  speed_t code;
};

constexpr RateCode kRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool CodeForRate(uint32_t rate, speed_t* code) {
  for (const RateCode& r : kRates) {
    if (r.rate == rate) {
      *code = r.code;
      return true;
    }
  }
  return false;
}

bool RateForCode(speed_t code, uint32_t* rate) {
  for (const RateCode& r : kRates) {
    if (r.code == code) {
      *rate = r.rate;
      return true;
    }
  }
  return false;
}

}  // namespace

void RawLine(termios& t) {
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IMAXBEL);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  // CLOCAL: the line opens and stays open whatever the carrier does; a lost
  // carrier is reported as a line event, not as a hang-up of the device.
  t.c_cflag |= CREAD | CLOCAL;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
}

bool LineFromControlBlock(const DeviceControlBlock& dcb, termios& t) {
  if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > kSpaceParity || dcb.StopBits > kTwoStopBits)
    return false;
  RawLine(t);
  t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  t.c_cflag |= kSizes[dcb.ByteSize - 5];
  switch (dcb.Parity) {
    case kOddParity:
      t.c_cflag |= PARENB | PARODD;
      break;
    case kEvenParity:
      t.c_cflag |= PARENB;
      break;
    case kMarkParity:
      t.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case kSpaceParity:
      t.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      break;
  }
  if (dcb.Flags & kDcbParity) t.c_iflag |= INPCK;
  // One and a half stop bits have no termios setting; two is the nearest.
  if (dcb.StopBits != kOneStopBit) t.c_cflag |= CSTOPB;
  if (dcb.Flags & kDcbOutX) t.c_iflag |= IXON;
  if (dcb.Flags & kDcbInX) t.c_iflag |= IXOFF;
  const uint32_t rts = (dcb.Flags >> kDcbRtsControlShift) & 3;
  if ((dcb.Flags & kDcbOutxCtsFlow) || rts == kRtsControlHandshake) t.c_cflag |= CRTSCTS;
  t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  return true;
}

namespace {

void SetModemLine(int fd, int line, bool on) {
  ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

// The port's termios, or false with the last error set.
bool ReadLineSettings(Port* port, termios& t) {
  if (port == nullptr) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  if (::tcgetattr(port->Fd(), &t) < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

}  // namespace

bool GetCommState(Port* port, DeviceControlBlock& dcb) {
  termios t{};
  if (!ReadLineSettings(port, t)) return false;
  DeviceControlBlock d;
  speed_t code = ::cfgetospeed(&t);
  if (!RateForCode(code, &d.BaudRate) && !GetLineRate(port->Fd(), &d.BaudRate)) d.BaudRate = 0;
  d.Flags = kDcbBinary;
  if (t.c_iflag & INPCK) d.Flags |= kDcbParity;
  if (t.c_iflag & IXON) d.Flags |= kDcbOutX;
  if (t.c_iflag & IXOFF) d.Flags |= kDcbInX;
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(port->Fd(), TIOCMGET, &lines);
  uint32_t dtr = (lines & TIOCM_DTR) ? kDtrControlEnable : kDtrControlDisable;
  uint32_t rts = (lines & TIOCM_RTS) ? kRtsControlEnable : kRtsControlDisable;
  if (t.c_cflag & CRTSCTS) {
    d.Flags |= kDcbOutxCtsFlow;
    rts = kRtsControlHandshake;
  }
  d.Flags |= dtr << kDcbDtrControlShift | rts << kDcbRtsControlShift;
  switch (t.c_cflag & CSIZE) {
    case CS5: d.ByteSize = 5; break;
    case CS6: d.ByteSize = 6; break;
    case CS7: d.ByteSize = 7; break;
    default: d.ByteSize = 8; break;
  }
  if (!(t.c_cflag & PARENB)) {
    d.Parity = kNoParity;
  } else if (t.c_cflag & CMSPAR) {
    d.Parity = (t.c_cflag & PARODD) ? kMarkParity : kSpaceParity;
  } else {
    d.Parity = (t.c_cflag & PARODD) ? kOddParity : kEvenParity;
  }
  d.StopBits = (t.c_cflag & CSTOPB) ? kTwoStopBits : kOneStopBit;
  d.XonChar = static_cast<char>(t.c_cc[VSTART]);
  d.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
  dcb = d;
  return true;
}

bool SetCommState(Port* port, const DeviceControlBlock& dcb) {
  termios t{};
  if (!ReadLineSettings(port, t)) return false;
  // Raw mode goes on whatever else is refused: a line left cooked echoes the
  // receiver's bytes back to it and turns its carriage returns into line feeds.
  if (!LineFromControlBlock(dcb, t)) {
    RawLine(t);
    ::tcsetattr(port->Fd(), TCSANOW, &t);
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  // `t` still carries the line's present rate: it is what the line keeps
  // when the new rate is refused.
  const termios keepRate = t;
  speed_t code;
  bool rateTaken;
  int cause = EINVAL;
  if (dcb.BaudRate == 0) {
    // B0 would drop the modem lines (a hang-up); 0 is no rate at all.
    rateTaken = false;
  } else if (CodeForRate(dcb.BaudRate, &code)) {
    ::cfsetispeed(&t, code);
    ::cfsetospeed(&t, code);
    rateTaken = ::tcsetattr(port->Fd(), TCSANOW, &t) == 0;
    cause = errno;
  } else {
    KernelLineFlags k;
    k.iflag = t.c_iflag;
    k.oflag = t.c_oflag;
    k.cflag = t.c_cflag;
    k.lflag = t.c_lflag;
    std::memcpy(k.cc, t.c_cc, sizeof k.cc);
    rateTaken = SetLineWithRate(port->Fd(), k, dcb.BaudRate);
    cause = errno;
  }
  if (!rateTaken) ::tcsetattr(port->Fd(), TCSANOW, &keepRate);
  const uint32_t dtr = (dcb.Flags >> kDcbDtrControlShift) & 3;
  const uint32_t rts = (dcb.Flags >> kDcbRtsControlShift) & 3;
  // A pseudo-terminal has no modem lines; its refusal here changes nothing.
  SetModemLine(port->Fd(), TIOCM_DTR, dtr != kDtrControlDisable);
  if (rts != kRtsControlHandshake) SetModemLine(port->Fd(), TIOCM_RTS, rts != kRtsControlDisable);
  if (!rateTaken) {
    SetLastErrorFromErrno(cause);
    return false;
  }
  return true;
}

}  // namespace serial_platform
