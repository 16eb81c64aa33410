#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "comm_harness.h"
#include "pty_pair.h"

namespace {

using namespace std::chrono_literals;

std::string StartError(TComm& comm) {
  try {
    comm.StartComm();
  } catch (const ECommsError& e) {
    return e.what();
  }
  return "";
}

void ExpectReceives(TComm& comm, PtyPair& pty, const std::string& text) {
  CommRecorder recorder(comm);
  pty.Write(text);
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.ReceivedBytes().size() >= text.size(); }, kPatience));
  const std::vector<uint8_t> got = recorder.ReceivedBytes();
  EXPECT_EQ(std::string(got.begin(), got.end()), text);
}

struct FailureCase {
  const char* name;
  std::string path;
  const char* message;
};

class CommStartFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CommStartFailure, LeavesComponentClosedAndALaterStartSucceeds) {
  TComm comm;
  comm.SetCommName(GetParam().path);
  EXPECT_EQ(StartError(comm), GetParam().message);
  EXPECT_FALSE(comm.IsOpen());
  const uint8_t byte = 'x';
  EXPECT_FALSE(comm.WriteCommData(&byte, 1));
  PtyPair pty;
  comm.SetCommName(pty.SlavePath());
  EXPECT_EQ(StartError(comm), "");
  ExpectReceives(comm, pty, "$GPZDA,1*00\r\n");
}

std::string RegularFile() {
  static const std::string path = [] {
    char name[] = "/tmp/qv-serial-XXXXXX";
    int fd = ::mkstemp(name);
    ::close(fd);
    return std::string(name);
  }();
  return path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CommStartFailure,
    ::testing::Values(FailureCase{"Missing", "/nonexistent/ttyQV0",
                                  "Error opening serial port\n/nonexistent/ttyQV0: No such file or directory"},
                      FailureCase{"WindowsName", "COM3", "Error opening serial port\n/dev/COM3: No such file or directory"},
                      FailureCase{"NotATerminal", "/dev/null", "File handle is not a comm handle "},
                      FailureCase{"RegularFile", RegularFile(), "File handle is not a comm handle "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommLifecycle, PortHeldByAnotherComponentCannotBeOpened) {
  PtyPair pty;
  TComm first, second;
  first.SetCommName(pty.SlavePath());
  second.SetCommName(pty.SlavePath());
  first.StartComm();
  EXPECT_TRUE(StartError(second).starts_with("Error opening serial port\n"));
  EXPECT_FALSE(second.IsOpen());
  ExpectReceives(first, pty, "first keeps the line");
}

TEST(CommLifecycle, WindowsStyleDevicePrefixIsAccepted) {
  PtyPair pty;
  TComm comm;
  comm.SetCommName("\\\\.\\" + pty.SlavePath());
  EXPECT_EQ(StartError(comm), "");
  ExpectReceives(comm, pty, "prefixed");
}

TEST(CommLifecycle, StopOnClosedOrTwiceIsHarmless) {
  PtyPair pty;
  TComm comm;
  comm.StopComm();
  comm.SetCommName(pty.SlavePath());
  comm.StartComm();
  comm.StopComm();
  comm.StopComm();
  EXPECT_FALSE(comm.IsOpen());
}

TEST(CommLifecycle, EachStartGivesOneSendEmptyNotice) {
  PtyPair pty;
  TComm comm;
  CommRecorder recorder(comm);
  comm.SetCommName(pty.SlavePath());
  for (size_t cycle = 1; cycle <= 3; ++cycle) {
    comm.StartComm();
    ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifySendDataEmpty) == cycle; }, kPatience));
    comm.StopComm();
  }
  recorder.PumpFor(200ms);
  EXPECT_EQ(recorder.Count(kNotifySendDataEmpty), 3u);
}

TEST(CommLifecycle, DestroyingAnOpenComponentReleasesThePort) {
  PtyPair pty;
  {
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.StartComm();
    pty.Write("undelivered");
  }
  TComm next;
  next.SetCommName(pty.SlavePath());
  EXPECT_EQ(StartError(next), "");
}

TEST(CommLifecycle, ModemStateOfALineWithoutModemLinesIsZero) {
  PtyPair pty;
  TComm comm;
  EXPECT_EQ(comm.GetModemState(), 0u);
  comm.SetCommName(pty.SlavePath());
  comm.StartComm();
  EXPECT_EQ(comm.GetModemState(), 0u);
}

TEST(CommLifecycle, ChangingTheNameWhileOpenWaitsForTheNextStart) {
  PtyPair a, b;
  TComm comm;
  comm.SetCommName(a.SlavePath());
  comm.StartComm();
  comm.SetCommName(b.SlavePath());
  ExpectReceives(comm, a, "on a");
  comm.StopComm();
  comm.StartComm();
  ExpectReceives(comm, b, "on b");
}

}  // namespace
