#include "fake_sysfs.h"

#include <fstream>

namespace fs = std::filesystem;

FakeSysfs::FakeSysfs() : Base(Dir.path().toStdString()) {
  fs::create_directories(TtyRoot());
  fs::create_directories(Base / "hw");
}

void FakeSysfs::AddPort(const std::string& name, int uartType) {
  const fs::path device = Base / "devices" / name;
  fs::create_directories(device);
  fs::create_directory_symlink(Base / "hw", device / "device");
  if (uartType >= 0) std::ofstream(device / "type") << uartType << '\n';
  fs::create_directory_symlink(device, TtyRoot() / name);
}

void FakeSysfs::AddVirtualTty(const std::string& name) {
  const fs::path device = Base / "devices" / name;
  fs::create_directories(device);
  fs::create_directory_symlink(device, TtyRoot() / name);
}

void FakeSysfs::Remove(const std::string& name) {
  fs::remove(TtyRoot() / name);
  fs::remove_all(Base / "devices" / name);
}
