#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

inline constexpr const char* kSysClassTty = "/sys/class/tty";

// The system's list of serial ports, read from the kernel's tty class folder.
// Each port is one value: its name is the entry's device path in sysfs, its
// data the entry's name (ttyUSB0), the device node's name under /dev/.
class SysfsPortRegistry {
 public:
  explicit SysfsPortRegistry(std::filesystem::path root);

  // False when the tty class folder is missing (no such key).
  bool KeyExists() const;

  // The ports' value names, in natural order of their entry names
  // (ttyACM0, ttyS0, ttyUSB0, ttyUSB1, ttyUSB10). Empty when the key is missing.
  QStringList ValueNames() const;

  // The port's name (ttyUSB0) for this value name.
  static QString ReadString(const QString& valueName);

  // Orders names the way a person counts: digit runs compare by value.
  static bool NaturalLess(const std::string& a, const std::string& b);

 private:
  bool IsSerialPort(const std::filesystem::path& entry) const;

  std::filesystem::path Root;
};
