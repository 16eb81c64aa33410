#include "app/window/main_unit.h"

#include "nmea/restart_commands.h"

// Construction order matters: the parser exists before any window, and the
// objects FormClose releases follow it.
CNMEAParser NMEAParser;

namespace {
QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

// Taken from the same builder as quorvane-ttff's commands, so both send the
// same bytes.
const QByteArray ColdStartCommand = Bytes(restart::CommandSentence(restart::Chip::Sirf, restart::Start::Cold));
const QByteArray SkytraqColdStart = Bytes(restart::CommandBytes(restart::Chip::Skytraq, restart::Start::Cold));
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
