#include <gtest/gtest.h>

#include "fake_sysfs.h"
#include "app/link/port_registry.h"

namespace {

QStringList Devices(const SysfsPortRegistry& registry) {
  QStringList devices;
  for (const QString& name : registry.ValueNames()) devices << SysfsPortRegistry::ReadString(name);
  return devices;
}

TEST(PortRegistry, ListsPortsInNaturalOrder) {
  FakeSysfs sysfs;
  for (const char* name : {"ttyUSB10", "ttyUSB1", "ttyS0", "ttyACM0", "ttyUSB0", "ttyUSB2"}) sysfs.AddPort(name);
  SysfsPortRegistry registry(sysfs.TtyRoot());
  EXPECT_EQ(Devices(registry), (QStringList{"ttyACM0", "ttyS0", "ttyUSB0", "ttyUSB1",
                                            "ttyUSB2", "ttyUSB10"}));
}

TEST(PortRegistry, LeavesOutTtysWithoutHardware) {
  FakeSysfs sysfs;
  sysfs.AddVirtualTty("tty0");
  sysfs.AddVirtualTty("ptmx");
  sysfs.AddVirtualTty("console");
  sysfs.AddPort("ttyUSB0");
  SysfsPortRegistry registry(sysfs.TtyRoot());
  EXPECT_EQ(Devices(registry), QStringList{"ttyUSB0"});
}

TEST(PortRegistry, LeavesOutPlaceholderUarts) {
  FakeSysfs sysfs;
  sysfs.AddPort("ttyS0", 4);  // 16550A
  sysfs.AddPort("ttyS1", 0);
  sysfs.AddPort("ttyS2", 0);
  sysfs.AddPort("ttyS3", 1);  // 8250
  SysfsPortRegistry registry(sysfs.TtyRoot());
  EXPECT_EQ(Devices(registry), (QStringList{"ttyS0", "ttyS3"}));
}

TEST(PortRegistry, ValueNameIsTheDevicePathAndDataThePortName) {
  FakeSysfs sysfs;
  sysfs.AddPort("ttyUSB0");
  SysfsPortRegistry registry(sysfs.TtyRoot());
  const QStringList names = registry.ValueNames();
  ASSERT_EQ(names.size(), 1);
  EXPECT_EQ(names[0], QString::fromStdString(std::filesystem::canonical(sysfs.Base / "devices" / "ttyUSB0").string()));
  EXPECT_EQ(SysfsPortRegistry::ReadString(names[0]), "ttyUSB0");
}

TEST(PortRegistry, MissingFolderIsAMissingKey) {
  FakeSysfs sysfs;
  SysfsPortRegistry registry(sysfs.Base / "no-such-folder");
  EXPECT_FALSE(registry.KeyExists());
  EXPECT_TRUE(registry.ValueNames().isEmpty());
  EXPECT_TRUE(SysfsPortRegistry(sysfs.TtyRoot()).KeyExists());
}

TEST(PortRegistry, NaturalOrderComparesDigitRunsByValue) {
  struct Case {
    const char* a;
    const char* b;
    bool less;
  };
  const Case cases[] = {
      {"ttyUSB2", "ttyUSB10", true}, {"ttyUSB10", "ttyUSB2", false}, {"ttyACM0", "ttyS0", true},
      {"ttyS9", "ttyUSB0", true},    {"ttyS1", "ttyS1", false},      {"ttyS", "ttyS0", true},
      {"ttyS01", "ttyS1", false},    {"ttyS1", "ttyS01", true},      {"ttyS99999999999999999999", "ttyS100000000000000000000", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SysfsPortRegistry::NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
  }
}

}  // namespace
