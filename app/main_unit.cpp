#include "main_unit.h"

// Construction order matters: the parser exists before any window, and the
// objects FormClose releases follow it.
CNMEAParser NMEAParser;

const QByteArray ColdStartCommand("$PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4*28");

// A0 A1, payload length 15, message 01 (restart) with mode 03 (cold), 13 zero
// bytes of date, time and position, XOR checksum of the payload, CR LF.
const QByteArray SkytraqColdStart("\xA0\xA1\x00\x0F\x01\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                                  "\x02\x0D\x0A",
                                  22);
const QByteArray CRLF("\r\n", 2);

std::unique_ptr<QImage> EarthBitmap;
std::unique_ptr<QStringList> PortNames;
std::unique_ptr<SysfsPortRegistry> PortRegistry;

int32_t IsConnected = 0;
int32_t IsLogging = 0;
int32_t IsReplaying = 0;
int32_t ReplayIndex = 0;
int32_t TTFFCount = 0;
int32_t TimerTicks = 0;

void CreateModuleObjects() {
  EarthBitmap = std::make_unique<QImage>();
  PortNames = std::make_unique<QStringList>();
  PortRegistry = std::make_unique<SysfsPortRegistry>(kSysClassTty);
}

namespace {
const bool kModuleObjectsCreated = (CreateModuleObjects(), true);
}
