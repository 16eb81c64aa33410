#include <gtest/gtest.h>

#include <termios.h>

#include "comm_harness.h"
#include "pty_pair.h"

namespace {

// Termios calls on the master end act on the slave's settings, so the test
// reads back what the component gave the line without opening it again.
termios LineOf(const PtyPair& pty) {
  termios t{};
  EXPECT_EQ(::tcgetattr(pty.Master(), &t), 0);
  return t;
}

speed_t RateOf(const PtyPair& pty) {
  termios t = LineOf(pty);
  return ::cfgetospeed(&t);
}

class CommBaud : public ::testing::TestWithParam<std::pair<uint32_t, speed_t>> {};

TEST_P(CommBaud, RateReachesTheLineBeforeAndWhileOpen) {
  PtyPair pty;
  TComm comm;
  comm.SetCommName(pty.SlavePath());
  comm.SetBaudRate(GetParam().first);
  comm.StartComm();
  EXPECT_EQ(RateOf(pty), GetParam().second);
  comm.SetBaudRate(1200);
  EXPECT_EQ(RateOf(pty), B1200);
  comm.SetBaudRate(GetParam().first);
  EXPECT_EQ(RateOf(pty), GetParam().second);
  termios t = LineOf(pty);
  EXPECT_EQ(::cfgetispeed(&t), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Rates, CommBaud,
                         ::testing::Values(std::pair{4800u, speed_t{B4800}}, std::pair{9600u, speed_t{B9600}},
                                           std::pair{38400u, speed_t{B38400}},
                                           std::pair{115200u, speed_t{B115200}}));

struct LineCase {
  const char* name;
  std::function<void(TComm&)> apply;
  tcflag_t cflagMask;
  tcflag_t cflagExpected;
  tcflag_t iflagMask;
  tcflag_t iflagExpected;
};

class CommLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommLine, SettingReachesTheLineWhileOpen) {
  PtyPair pty;
  TComm comm;
  comm.SetCommName(pty.SlavePath());
  comm.StartComm();
  GetParam().apply(comm);
  const termios t = LineOf(pty);
  EXPECT_EQ(t.c_cflag & GetParam().cflagMask, GetParam().cflagExpected);
  EXPECT_EQ(t.c_iflag & GetParam().iflagMask, GetParam().iflagExpected);
}

// A pseudo-terminal always keeps eight data bits and no parity bit (the kernel
// clears CSIZE and PARENB), so only the parity kind is visible on it; the
// platform tests check the full framing.
constexpr tcflag_t kParityBits = PARODD | CMSPAR;

INSTANTIATE_TEST_SUITE_P(
    Settings, CommLine,
    ::testing::Values(
        LineCase{"Defaults", [](TComm&) {}, kParityBits | CSTOPB | CRTSCTS | CREAD | CLOCAL, CREAD | CLOCAL, IXON | IXOFF | INPCK,
                 IXON | IXOFF},
        LineCase{"TwoStopBits", [](TComm& c) { c.SetStopBits(TStopBits::_2); }, CSTOPB, CSTOPB, 0, 0},
        LineCase{"OneAndAHalfStopBitsAsTwo", [](TComm& c) { c.SetStopBits(TStopBits::_1_5); }, CSTOPB, CSTOPB, 0, 0},
        LineCase{"OddParity", [](TComm& c) { c.SetParity(TParity::Odd); }, kParityBits, PARODD, 0, 0},
        LineCase{"EvenParity", [](TComm& c) { c.SetParity(TParity::Even); }, kParityBits, 0, 0, 0},
        LineCase{"MarkParity", [](TComm& c) { c.SetParity(TParity::Mark); }, kParityBits, kParityBits, 0, 0},
        LineCase{"SpaceParity", [](TComm& c) { c.SetParity(TParity::Space); }, kParityBits, CMSPAR, 0, 0},
        LineCase{"ParityCheck", [](TComm& c) { c.SetParityCheck(true); }, 0, 0, INPCK, INPCK},
        LineCase{"NoOutputFlowControl", [](TComm& c) { c.SetOutx_XonXoffFlow(false); }, 0, 0, IXON | IXOFF, IXOFF},
        LineCase{"NoInputFlowControl", [](TComm& c) { c.SetInx_XonXoffFlow(false); }, 0, 0, IXON | IXOFF, IXON},
        LineCase{"CtsFlow", [](TComm& c) { c.SetOutx_CtsFlow(true); }, CRTSCTS, CRTSCTS, 0, 0},
        LineCase{"RtsHandshake", [](TComm& c) { c.SetRtsControl(TRtsControl::RtsHandshake); }, CRTSCTS, CRTSCTS, 0,
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommSettings, LineIsRawWithTheFlowCharacters) {
  PtyPair pty;
  TComm comm;
  comm.SetCommName(pty.SlavePath());
  comm.SetXonChar('A');
  comm.SetXoffChar('B');
  comm.StartComm();
  const termios t = LineOf(pty);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u);
  EXPECT_EQ(t.c_cc[VSTART], 'A');
  EXPECT_EQ(t.c_cc[VSTOP], 'B');
  comm.SetXonChar(0x11);
  EXPECT_EQ(LineOf(pty).c_cc[VSTART], 0x11);
}

TEST(CommSettings, RefusedRateStillGivesARawLineAndKeepsThePreviousRate) {
  using namespace std::chrono_literals;
  PtyPair pty;
  const speed_t before = RateOf(pty);
  TComm comm;
  comm.SetCommName(pty.SlavePath());
  comm.SetBaudRate(0);
  comm.StartComm();
  EXPECT_EQ(RateOf(pty), before);
  // A cooked line would hold the bytes until a line feed, turn each CR into
  // LF and echo everything back to the receiver.
  CommRecorder recorder(comm);
  const std::string text = "$GPGGA,1*00\r\n$GPGSA,2*00\r";
  pty.Write(text);
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.ReceivedBytes().size() >= text.size(); }, kPatience));
  const std::vector<uint8_t> got = recorder.ReceivedBytes();
  EXPECT_EQ(std::string(got.begin(), got.end()), text);
  EXPECT_TRUE(pty.Read(1, 300ms).empty());
  comm.SetBaudRate(4800);
  comm.SetBaudRate(0);
  EXPECT_EQ(RateOf(pty), B4800);
}

TEST(CommSettings, SetterWithTheValueHeldLeavesTheDeviceAlone) {
  PtyPair pty;
  TComm comm;
  comm.SetCommName(pty.SlavePath());
  comm.StartComm();
  // Someone else changes the line behind the component's back.
  termios t = LineOf(pty);
  ::cfsetospeed(&t, B2400);
  ::cfsetispeed(&t, B2400);
  t.c_lflag |= ECHO;
  ASSERT_EQ(::tcsetattr(pty.Master(), TCSANOW, &t), 0);
  comm.SetBaudRate(9600);
  comm.SetStopBits(TStopBits::_1);
  comm.SetParity(TParity::None);
  comm.SetReadIntervalTimeout(100);
  EXPECT_EQ(RateOf(pty), B2400);
  // A real change rewrites the whole block, raw mode included.
  comm.SetStopBits(TStopBits::_2);
  EXPECT_EQ(RateOf(pty), B9600);
  EXPECT_EQ(LineOf(pty).c_lflag & ECHO, 0u);
}

TEST(CommSettings, ChangesWhileClosedWaitForTheNextStart) {
  PtyPair pty;
  TComm comm;
  comm.SetCommName(pty.SlavePath());
  termios before = LineOf(pty);
  comm.SetBaudRate(38400);
  EXPECT_EQ(RateOf(pty), ::cfgetospeed(&before));
  comm.StartComm();
  EXPECT_EQ(RateOf(pty), B38400);
}

}  // namespace
