#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <string>

// A throw-away copy of the kernel's tty class folder: class/tty/<name> links
// to devices/<name>, as sysfs does, and a port has a "device" link.
class FakeSysfs {
  QTemporaryDir Dir;  // first: Base is made from it

 public:
  FakeSysfs();

  std::filesystem::path TtyRoot() const { return Base / "class" / "tty"; }
  std::filesystem::path Base;

  // A serial port; `uartType` writes the serial core's "type" attribute
  // (0 marks a placeholder UART), -1 leaves it out as USB adapters do.
  void AddPort(const std::string& name, int uartType = -1);
  // A tty without hardware behind it (virtual console, ptmx).
  void AddVirtualTty(const std::string& name);
  void Remove(const std::string& name);

};
