#include <gtest/gtest.h>

#include <thread>

#include "comm_harness.h"
#include "pty_pair.h"

namespace {

using namespace std::chrono_literals;

constexpr uint8_t kXoff = 0x13;
constexpr uint8_t kXon = 0x11;

class CommTransmit : public ::testing::Test {
 protected:
  void Start() {
    comm.SetCommName(pty.SlavePath());
    comm.StartComm();
    ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifySendDataEmpty) == 1; }, kPatience));
  }
  // The line's XON/XOFF flow control (on by default) lets the test hold the
  // transmitter, so requests pile up behind a pending write.
  void HoldTransmitter() {
    pty.Write(std::vector<uint8_t>{kXoff});
    std::this_thread::sleep_for(300ms);
  }
  PtyPair pty;
  TComm comm;
  CommRecorder recorder{comm};
};

TEST_F(CommTransmit, OneSendEmptyNoticeRightAfterStart) {
  Start();
  recorder.PumpFor(300ms);
  EXPECT_EQ(recorder.Count(kNotifySendDataEmpty), 1u);
  EXPECT_EQ(recorder.All().size(), 1u);
}

TEST_F(CommTransmit, QueuedRequestsAreWrittenInOrderWithOneNoticeAfterTheLast) {
  Start();
  HoldTransmitter();
  const std::vector<uint8_t> a = TextPattern(100, 1), b = TextPattern(3000, 2), c = TextPattern(500, 3);
  ASSERT_TRUE(comm.WriteCommData(a.data(), static_cast<uint16_t>(a.size())));
  ASSERT_TRUE(comm.WriteCommData(b.data(), static_cast<uint16_t>(b.size())));
  ASSERT_TRUE(comm.WriteCommData(c.data(), static_cast<uint16_t>(c.size())));
  pty.Write(std::vector<uint8_t>{kXon});
  std::vector<uint8_t> expected = a;
  expected.insert(expected.end(), b.begin(), b.end());
  expected.insert(expected.end(), c.begin(), c.end());
  EXPECT_EQ(pty.Read(expected.size(), kPatience), expected);
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifySendDataEmpty) == 2; }, kPatience));
  recorder.PumpFor(300ms);
  EXPECT_EQ(recorder.Count(kNotifySendDataEmpty), 2u);
  EXPECT_EQ(recorder.Count(kNotifyRequestHangup), 0u);
}

TEST_F(CommTransmit, LargestRequestIsWrittenInFull) {
  Start();
  const std::vector<uint8_t> big = TextPattern(65535, 5);
  ASSERT_TRUE(comm.WriteCommData(big.data(), 65535));
  EXPECT_EQ(pty.Read(big.size(), kPatience), big);
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifySendDataEmpty) == 2; }, kPatience));
}

TEST_F(CommTransmit, StopDuringLongPendingWritePostsNothing) {
  Start();
  HoldTransmitter();
  const std::vector<uint8_t> big = TextPattern(65535, 6);
  ASSERT_TRUE(comm.WriteCommData(big.data(), 65535));
  std::this_thread::sleep_for(200ms);
  recorder.Clear();
  comm.StopComm();
  recorder.PumpFor(300ms);
  EXPECT_TRUE(recorder.All().empty());
}

TEST_F(CommTransmit, FarEndClosingDuringPendingWriteGivesExactlyOneHangup) {
  // Both workers meet the loss: the transmit thread through its held write,
  // the receive thread through its read. Whichever is first, one request.
  Start();
  HoldTransmitter();
  const std::vector<uint8_t> big = TextPattern(65535, 7);
  ASSERT_TRUE(comm.WriteCommData(big.data(), 65535));
  std::this_thread::sleep_for(200ms);
  recorder.Clear();
  pty.CloseMaster();
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifyRequestHangup) >= 1; }, kPatience));
  EXPECT_TRUE(WaitUntilWritesRefused(comm, kPatience));
  recorder.PumpFor(1000ms);
  EXPECT_EQ(recorder.Count(kNotifyRequestHangup), 1u);
  comm.StopComm();
}

TEST_F(CommTransmit, WriteQueuedRightAfterStartIsAcceptedAndWritten) {
  comm.SetCommName(pty.SlavePath());
  comm.StartComm();
  const std::string text = "$PSRF101,0,0,0,000,0,0,12,4*10\r\n";
  ASSERT_TRUE(comm.WriteCommData(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint16_t>(text.size())));
  const std::vector<uint8_t> got = pty.Read(text.size(), kPatience);
  EXPECT_EQ(std::string(got.begin(), got.end()), text);
}

TEST_F(CommTransmit, WriteWhileClosedIsRefusedAndNeverSent) {
  const uint8_t bytes[] = {'a', 'b', 'c'};
  EXPECT_FALSE(comm.WriteCommData(bytes, sizeof bytes));
  Start();
  EXPECT_TRUE(pty.Read(1, 300ms).empty());
}

TEST_F(CommTransmit, EmptyWriteIsRefusedWhileOpen) {
  Start();
  const uint8_t byte = 0;
  EXPECT_FALSE(comm.WriteCommData(&byte, 0));
}

}  // namespace
