// Rates without a Bnnn constant go through termios2 and BOTHER. The kernel's
// termios headers clash with the C library's, so they live alone in this file.

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <cstring>

#include "serial_port_internal.h"

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace serial_platform {

bool SetLineWithRate(int fd, const KernelLineFlags& flags, uint32_t rate) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) < 0) return false;
  t.c_iflag = flags.iflag;
  t.c_oflag = flags.oflag;
  t.c_lflag = flags.lflag;
  t.c_cflag = (flags.cflag & ~(CBAUD | (CBAUD << IBSHIFT))) | BOTHER;
  static_assert(sizeof t.c_cc >= sizeof flags.cc);
  std::memcpy(t.c_cc, flags.cc, sizeof flags.cc);
  t.c_ispeed = rate;
  t.c_ospeed = rate;
  return ioctl(fd, TCSETS2, &t) == 0;
}

bool GetLineRate(int fd, uint32_t* rate) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) < 0) return false;
  *rate = t.c_ospeed;
  return true;
}

}  // namespace serial_platform
