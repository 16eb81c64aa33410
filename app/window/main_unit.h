#pragma once

#include <QByteArray>
#include <QImage>
#include <QStringList>

#include <cstdint>
#include <memory>

#include "nmea/nmea_parser.h"
#include "app/link/port_registry.h"

// The viewer's process-wide objects and state. Everything here is touched only
// on the GUI thread, so nothing is locked.

extern CNMEAParser NMEAParser;

// SiRF NMEA input message 101: navigation initialisation with reset mode 4 (cold start).
extern const QByteArray ColdStartCommand;
// Skytraq binary system-restart message, cold start mode.
extern const QByteArray SkytraqColdStart;
extern const QByteArray CRLF;

// Created at start; FormClose releases them.
extern std::unique_ptr<QImage> EarthBitmap;
extern std::unique_ptr<QStringList> PortNames;
extern std::unique_ptr<SysfsPortRegistry> PortRegistry;

extern int32_t IsConnected;
extern int32_t IsLogging;
extern int32_t IsReplaying;
extern int32_t ReplayIndex;
extern int32_t TTFFCount;
extern int32_t TimerTicks;

// Creates the objects that FormClose releases, the port list read from the
// system's /sys/class/tty. Runs once at start-up; a test calls it again to get
// a fresh set for the next window.
void CreateModuleObjects();
