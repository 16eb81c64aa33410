#include <gtest/gtest.h>

#include <termios.h>
#include <thread>

#include "pty_pair.h"
#include "serial_platform.h"
#include "serial_port_internal.h"

using namespace serial_platform;

namespace {

struct NameCase {
  const char* given;
  const char* opened;
};

class PortName : public ::testing::TestWithParam<NameCase> {};

TEST_P(PortName, ResolvesToDevicePath) { EXPECT_EQ(ResolvePortName(GetParam().given), GetParam().opened); }

INSTANTIATE_TEST_SUITE_P(Names, PortName,
                         ::testing::Values(NameCase{"\\\\.\\/dev/ttyUSB0", "/dev/ttyUSB0"},
                                           NameCase{"ttyUSB0", "/dev/ttyUSB0"}, NameCase{"COM3", "/dev/COM3"},
                                           NameCase{"\\\\.\\COM12", "/dev/COM12"},
                                           NameCase{"/dev/pts/7", "/dev/pts/7"}));

TEST(Wait, ReportsLowestSignalledHandle) {
  auto a = Event::Create(false);
  auto b = Event::Create(false);
  auto c = Event::Create(false);
  Event* const list[3] = {a.get(), b.get(), c.get()};
  c->Set();
  EXPECT_EQ(WaitForMultipleObjects(list, kInfinite), 2u);
  b->Set();
  EXPECT_EQ(WaitForMultipleObjects(list, kInfinite), 1u);
  a->Set();
  EXPECT_EQ(WaitForMultipleObjects(list, kInfinite), 0u);
  // Manual reset: still signalled until Reset.
  EXPECT_EQ(WaitForMultipleObjects(list, kInfinite), 0u);
  a->Reset();
  b->Reset();
  c->Reset();
  EXPECT_EQ(WaitForMultipleObjects(list, 30), kWaitTimeout);
}

TEST(Wait, WakesWhenAnotherThreadSetsAnEvent) {
  auto a = Event::Create(false);
  auto b = Event::Create(false);
  Event* const list[2] = {a.get(), b.get()};
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    b->Set();
  });
  EXPECT_EQ(WaitForMultipleObjects(list, kInfinite), 1u);
  setter.join();
}

TEST(Port, SecondOpenOfTheSameLineFails) {
  PtyPair pty;
  auto first = CreateFile(pty.SlavePath());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(CreateFile(pty.SlavePath()), nullptr);
  first.reset();
  EXPECT_NE(CreateFile(pty.SlavePath()), nullptr);
}

TEST(Port, DeviceNullIsNotACommHandle) {
  auto port = CreateFile("/dev/null");
  ASSERT_NE(port, nullptr);
  EXPECT_NE(GetFileType(port.get()), kFileTypeChar);
}

TEST(Port, NonstandardRateGoesThroughToTheDevice) {
  PtyPair pty;
  auto port = CreateFile(pty.SlavePath());
  ASSERT_NE(port, nullptr);
  DeviceControlBlock dcb;
  ASSERT_TRUE(GetCommState(port.get(), dcb));
  dcb.BaudRate = 250000;
  ASSERT_TRUE(SetCommState(port.get(), dcb));
  DeviceControlBlock back;
  ASSERT_TRUE(GetCommState(port.get(), back));
  EXPECT_EQ(back.BaudRate, 250000u);
  dcb.BaudRate = 4800;
  ASSERT_TRUE(SetCommState(port.get(), dcb));
  ASSERT_TRUE(GetCommState(port.get(), back));
  EXPECT_EQ(back.BaudRate, 4800u);
}

TEST(Port, RefusedBlockLeavesPreviousSettings) {
  PtyPair pty;
  auto port = CreateFile(pty.SlavePath());
  ASSERT_NE(port, nullptr);
  DeviceControlBlock dcb;
  ASSERT_TRUE(GetCommState(port.get(), dcb));
  dcb.BaudRate = 19200;
  ASSERT_TRUE(SetCommState(port.get(), dcb));
  dcb.BaudRate = 9600;
  dcb.ByteSize = 9;
  EXPECT_FALSE(SetCommState(port.get(), dcb));
  DeviceControlBlock back;
  ASSERT_TRUE(GetCommState(port.get(), back));
  EXPECT_EQ(back.BaudRate, 19200u);
}

class PendingRead : public ::testing::Test {
 protected:
  void SetUp() override {
    port = CreateFile(pty.SlavePath());
    ASSERT_NE(port, nullptr);
    DeviceControlBlock dcb;
    GetCommState(port.get(), dcb);
    dcb.BaudRate = 9600;
    SetCommState(port.get(), dcb);
    CommTimeouts t;
    t.ReadIntervalTimeout = 100;
    SetCommTimeouts(port.get(), t);
    event = Event::Create(true);
    ov.hEvent = event.get();
  }
  PtyPair pty;
  std::unique_ptr<Port> port;
  std::unique_ptr<Event> event;
  Overlapped ov{};
  uint8_t buffer[64] = {};
  uint32_t count = 0;
};

TEST_F(PendingRead, CompletesAfterIntervalWithGatheredBytes) {
  ASSERT_FALSE(ReadFile(port.get(), buffer, sizeof buffer, &count, &ov));
  ASSERT_EQ(GetLastError(), kErrorIoPending);
  pty.Write("abc");
  ASSERT_EQ(WaitForSingleObject(event.get(), 10000), 0u);
  ASSERT_TRUE(GetOverlappedResult(port.get(), &ov, &count, false));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), count), "abc");
}

TEST_F(PendingRead, FullBufferCompletesAtOnce) {
  pty.Write(std::string(100, 'x'));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &count, &ov));
  EXPECT_EQ(count, sizeof buffer);
}

TEST_F(PendingRead, PurgeAbortsWithError995) {
  ASSERT_FALSE(ReadFile(port.get(), buffer, sizeof buffer, &count, &ov));
  std::thread purger([&] { PurgeComm(port.get(), kPurgeRxAbort | kPurgeRxClear); });
  ASSERT_EQ(WaitForSingleObject(event.get(), 10000), 0u);
  purger.join();
  EXPECT_FALSE(GetOverlappedResult(port.get(), &ov, &count, false));
  EXPECT_EQ(GetLastError(), kErrorOperationAborted);
}

TEST_F(PendingRead, FarEndClosingIsAnErrorNotAnEmptyRead) {
  ASSERT_FALSE(ReadFile(port.get(), buffer, sizeof buffer, &count, &ov));
  pty.CloseMaster();
  ASSERT_EQ(WaitForSingleObject(event.get(), 10000), 0u);
  EXPECT_FALSE(GetOverlappedResult(port.get(), &ov, &count, false));
  const uint32_t error = GetLastError();
  EXPECT_NE(error, kErrorInvalidHandle);
  EXPECT_NE(error, kErrorOperationAborted);
  EXPECT_NE(error, kErrorIoPending);
  // And a fresh read fails the same way instead of completing empty.
  EXPECT_FALSE(ReadFile(port.get(), buffer, sizeof buffer, &count, &ov));
  EXPECT_NE(GetLastError(), kErrorIoPending);
}

TEST_F(PendingRead, LineEventWaitOnPseudoTerminalStaysPending) {
  auto commEvent = Event::Create(true);
  Overlapped commOv{};
  commOv.hEvent = commEvent.get();
  uint32_t mask = 0;
  ASSERT_TRUE(SetCommMask(port.get(), kEvRlsd | kEvErr | kEvRing));
  ASSERT_FALSE(WaitCommEvent(port.get(), &mask, &commOv));
  ASSERT_EQ(GetLastError(), kErrorIoPending);
  ASSERT_FALSE(ReadFile(port.get(), buffer, sizeof buffer, &count, &ov));
  pty.Write("z");
  Event* const list[2] = {commEvent.get(), event.get()};
  EXPECT_EQ(WaitForMultipleObjects(list, 10000), 1u);
  EXPECT_EQ(WaitForSingleObject(commEvent.get(), 50), kWaitTimeout);
}

}  // namespace

namespace {

struct FramingCase {
  const char* name;
  uint8_t byteSize;
  uint8_t parity;
  uint8_t stopBits;
  tcflag_t cflag;  // expected under CSIZE | PARENB | PARODD | CMSPAR | CSTOPB
};

class Framing : public ::testing::TestWithParam<FramingCase> {};

TEST_P(Framing, ControlBlockMapsOntoTermios) {
  DeviceControlBlock dcb;
  dcb.BaudRate = 9600;
  dcb.Flags = kDcbBinary;
  dcb.ByteSize = GetParam().byteSize;
  dcb.Parity = GetParam().parity;
  dcb.StopBits = GetParam().stopBits;
  termios t{};
  t.c_lflag = ICANON | ECHO;
  ASSERT_TRUE(LineFromControlBlock(dcb, t));
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), GetParam().cflag);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, Framing,
    ::testing::Values(FramingCase{"EightNoneOne", 8, kNoParity, kOneStopBit, CS8},
                      FramingCase{"SevenEvenOne", 7, kEvenParity, kOneStopBit, CS7 | PARENB},
                      FramingCase{"SevenOddTwo", 7, kOddParity, kTwoStopBits, CS7 | PARENB | PARODD | CSTOPB},
                      FramingCase{"EightMarkOne", 8, kMarkParity, kOneStopBit, CS8 | PARENB | PARODD | CMSPAR},
                      FramingCase{"EightSpaceOneAndAHalf", 8, kSpaceParity, kOne5StopBits,
                                  CS8 | PARENB | CMSPAR | CSTOPB},
                      FramingCase{"FiveNoneOne", 5, kNoParity, kOneStopBit, CS5},
                      FramingCase{"SixNoneOne", 6, kNoParity, kOneStopBit, CS6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Framing, ImpossibleBlocksAreRefused) {
  for (auto bad : {std::tuple{uint8_t{4}, kNoParity, kOneStopBit}, std::tuple{uint8_t{9}, kNoParity, kOneStopBit},
                   std::tuple{uint8_t{8}, uint8_t{5}, kOneStopBit}, std::tuple{uint8_t{8}, kNoParity, uint8_t{3}}}) {
    DeviceControlBlock dcb;
    dcb.BaudRate = 9600;
    std::tie(dcb.ByteSize, dcb.Parity, dcb.StopBits) = bad;
    termios t{};
    EXPECT_FALSE(LineFromControlBlock(dcb, t));
  }
}

}  // namespace
