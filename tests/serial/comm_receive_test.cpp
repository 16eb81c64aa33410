#include <gtest/gtest.h>

#include <cerrno>

#include <poll.h>
#include <thread>

#include "comm_harness.h"
#include "pty_pair.h"

namespace {

using namespace std::chrono_literals;

class CommReceive : public ::testing::Test {
 protected:
  void SetUp() override {
    comm.SetCommName(pty.SlavePath());
    comm.StartComm();
    ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifySendDataEmpty) == 1; }, kPatience));
    recorder.Clear();
  }
  PtyPair pty;
  TComm comm;
  CommRecorder recorder{comm};
};

TEST_F(CommReceive, BytesWithShortGapsArriveAsOneChunkAndALongGapEndsIt) {
  const std::vector<uint8_t> first = TextPattern(60, 1);
  for (size_t i = 0; i < first.size(); i += 12) {
    pty.Write(std::vector<uint8_t>(first.begin() + i, first.begin() + i + 12));
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifyReceiveData) == 1; }, kPatience));
  const std::vector<uint8_t> second = TextPattern(30, 2);
  pty.Write(second);
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifyReceiveData) == 2; }, kPatience));
  ASSERT_EQ(recorder.All().size(), 2u);
  EXPECT_EQ(recorder.All()[0].Bytes, first);
  EXPECT_EQ(recorder.All()[1].Bytes, second);
}

TEST_F(CommReceive, BurstArrivesIn2048ByteChunksThenTheRestInOrder) {
  const std::vector<uint8_t> burst = TextPattern(2048 * 3 + 500, 3);
  pty.Write(burst);
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.ReceivedBytes().size() >= burst.size(); }, kPatience));
  EXPECT_EQ(recorder.ReceivedBytes(), burst);
  EXPECT_EQ(recorder.ChunkSizes(), (std::vector<size_t>{2048, 2048, 2048, 500}));
}

TEST_F(CommReceive, BufferIsZeroTerminatedForEveryChunk) {
  pty.Write(TextPattern(3000, 4));
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.ReceivedBytes().size() >= 3000; }, kPatience));
  for (const Delivered& d : recorder.All()) EXPECT_TRUE(d.Terminated);
}

TEST_F(CommReceive, StopDuringPendingReadPostsNothing) {
  // A long interval keeps the read pending with bytes already gathered; it
  // applies from the next read on, so the port is opened again.
  comm.StopComm();
  comm.SetReadIntervalTimeout(5000);
  comm.StartComm();
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifySendDataEmpty) == 1; }, kPatience));
  recorder.Clear();
  pty.Write("$GPGGA,partial");
  std::this_thread::sleep_for(200ms);
  comm.StopComm();
  recorder.PumpFor(300ms);
  EXPECT_TRUE(recorder.All().empty());
}

TEST_F(CommReceive, NotificationsPostedBeforeStopArriveAfterIt) {
  pty.Write("hello");
  pollfd p{comm.NotifyFd(), POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, static_cast<int>(kPatience.count())), 1);
  comm.StopComm();
  comm.DispatchNotifications();
  ASSERT_EQ(recorder.All().size(), 1u);
  const Delivered& d = recorder.All()[0];
  EXPECT_EQ(d.Number, kNotifyReceiveData);
  EXPECT_EQ(std::string(d.Bytes.begin(), d.Bytes.end()), "hello");
  EXPECT_TRUE(d.Terminated);
  EXPECT_FALSE(d.OpenAtDelivery);
}

TEST_F(CommReceive, SecondStartIsRefusedAndReceptionGoesOn) {
  try {
    comm.StartComm();
    FAIL() << "second StartComm did not raise";
  } catch (const ECommsError& e) {
    EXPECT_STREQ(e.what(), "This serial port already opened");
  }
  EXPECT_TRUE(comm.IsOpen());
  pty.Write("still here");
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.ReceivedBytes().size() >= 10; }, kPatience));
  const std::vector<uint8_t> got = recorder.ReceivedBytes();
  EXPECT_EQ(std::string(got.begin(), got.end()), "still here");
}

TEST_F(CommReceive, ReadsThatTimeOutEmptyAreIssuedAgain) {
  comm.StopComm();
  comm.SetReadTotalTimeoutConstant(30);
  comm.StartComm();
  recorder.PumpFor(300ms);
  ASSERT_EQ(recorder.Count(kNotifySendDataEmpty), 1u);
  EXPECT_EQ(recorder.All().size(), 1u);
  recorder.Clear();
  pty.Write("after quiet");
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.ReceivedBytes().size() >= 11; }, kPatience));
  const std::vector<uint8_t> got = recorder.ReceivedBytes();
  EXPECT_EQ(std::string(got.begin(), got.end()), "after quiet");
  EXPECT_EQ(recorder.Count(kNotifyRequestHangup), 0u);
}

TEST_F(CommReceive, FarEndClosingGivesExactlyOneHangupAndStaysOpen) {
  pty.CloseMaster();
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifyRequestHangup) >= 1; }, kPatience));
  recorder.PumpFor(1000ms);
  EXPECT_EQ(recorder.Count(kNotifyRequestHangup), 1u);
  EXPECT_EQ(recorder.Count(kNotifyReceiveData), 0u);
  // The owner learns why, to tell the user.
  EXPECT_EQ(comm.HangupError(), EIO);
  EXPECT_TRUE(comm.IsOpen());
  EXPECT_THROW(comm.StartComm(), ECommsError);
  comm.StopComm();
  EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommReceive, FarEndClosingEndsTheIdleTransmitThreadWithoutASecondHangup) {
  pty.CloseMaster();
  ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.Count(kNotifyRequestHangup) >= 1; }, kPatience));
  // The transmit thread ends on its own; a write accepted before it has
  // noticed is dropped, not tried on the lost device.
  EXPECT_TRUE(WaitUntilWritesRefused(comm, kPatience));
  recorder.PumpFor(1000ms);
  EXPECT_EQ(recorder.Count(kNotifyRequestHangup), 1u);
  EXPECT_TRUE(comm.IsOpen());
  comm.StopComm();
  recorder.PumpFor(100ms);
  EXPECT_EQ(recorder.Count(kNotifyRequestHangup), 1u);
}

}  // namespace
