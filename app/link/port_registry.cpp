#include "app/link/port_registry.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

SysfsPortRegistry::SysfsPortRegistry(fs::path root) : Root(std::move(root)) {}

bool SysfsPortRegistry::KeyExists() const {
  std::error_code ec;
  return fs::is_directory(Root, ec);
}

bool SysfsPortRegistry::IsSerialPort(const fs::path& entry) const {
  std::error_code ec;
  // Virtual consoles, pseudo-terminals and the like have no hardware device.
  if (!fs::exists(fs::symlink_status(entry / "device", ec))) return false;

  // The 8250 driver registers a fixed number of ttyS ports whether or not a
  // UART answers behind them. The serial core shows each port's UART type in
  // the entry's "type" attribute, 0 (PORT_UNKNOWN) for those placeholders;
  // listing them would offer ports that can never work. The driver is not
  // asked: since the serial-base bus the link names "port", not "serial8250".
  std::ifstream typeFile(entry / "type");
  int type = -1;
  if (typeFile >> type) return type != 0;
  return true;
}

QStringList SysfsPortRegistry::ValueNames() const {
  std::vector<fs::path> ports;
  std::error_code ec;
  for (fs::directory_iterator it(Root, ec), end; !ec && it != end; it.increment(ec)) {
    if (IsSerialPort(it->path())) ports.push_back(it->path());
  }
  std::sort(ports.begin(), ports.end(), [](const fs::path& a, const fs::path& b) {
    return NaturalLess(a.filename().string(), b.filename().string());
  });

  QStringList names;
  names.reserve(static_cast<qsizetype>(ports.size()));
  for (const fs::path& port : ports) {
    // The device path, as the kernel links it (…/devices/…/tty/ttyUSB0); a
    // fake tree's plain folders keep their own path.
    const fs::path resolved = fs::weakly_canonical(port, ec);
    names.append(QString::fromStdString((ec ? port : resolved).string()));
  }
  return names;
}

QString SysfsPortRegistry::ReadString(const QString& valueName) {
  // The bare name, as Windows lists COM3: it fits the port box, and opening
  // looks a name without a folder up under /dev/.
  return valueName.mid(valueName.lastIndexOf(u'/') + 1);
}

bool SysfsPortRegistry::NaturalLess(const std::string& a, const std::string& b) {
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      size_t iEnd = i;
      size_t jEnd = j;
      while (iEnd < a.size() && isDigit(a[iEnd])) ++iEnd;
      while (jEnd < b.size() && isDigit(b[jEnd])) ++jEnd;
      // Compare values without converting, so any length of digits works.
      size_t iStart = i;
      size_t jStart = j;
      while (iStart + 1 < iEnd && a[iStart] == '0') ++iStart;
      while (jStart + 1 < jEnd && b[jStart] == '0') ++jStart;
      const size_t iLen = iEnd - iStart;
      const size_t jLen = jEnd - jStart;
      if (iLen != jLen) return iLen < jLen;
      const int cmp = a.compare(iStart, iLen, b, jStart, jLen);
      if (cmp != 0) return cmp < 0;
      if (iEnd - i != jEnd - j) return iEnd - i < jEnd - j;
      i = iEnd;
      j = jEnd;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}
