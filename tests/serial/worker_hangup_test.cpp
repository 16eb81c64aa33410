#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <termios.h>
#include <thread>

#include "comm_types.h"
#include "hangup_signal.h"
#include "pty_pair.h"
#include "read_thread.h"
#include "write_thread.h"

using namespace serial_platform;

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kEndWithin = 10000;

// The two workers of one port, started one after the other, so that the test
// decides which of them meets the loss of the device first.
class WorkerHangup : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    port = CreateFile(pty.SlavePath());
    ASSERT_TRUE(port);
    termios t{};
    ASSERT_EQ(::tcgetattr(port->Fd(), &t), 0);
    ::cfmakeraw(&t);
    ASSERT_EQ(::tcsetattr(port->Fd(), TCSANOW, &t), 0);
    closeEvent = Event::Create(false);
    hangup = THangupSignal::Create();
    ASSERT_TRUE(closeEvent && hangup);
  }

  void TearDown() override {
    // Stops whatever a failed check left running, before the port goes.
    if (closeEvent) closeEvent->Set();
    if (port) PurgeComm(port.get(), kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear);
    reader.reset();
    writer.reset();
    notifyWindow.Close([](const TMessage& m) {
      if (m.Msg == kNotifyReceiveData) std::free(reinterpret_cast<void*>(m.LParam));
    });
  }

  void StartReader() {
    reader = std::make_unique<TReadThread>(port.get(), closeEvent.get(), &notifyWindow, hangup.get());
    reader->Resume();
  }

  // A request is queued before the thread runs, so it is the first thing the
  // thread sees; with size 0 the thread starts idle.
  void StartWriterWith(size_t size) {
    writer = std::make_unique<TWriteThread>(port.get(), closeEvent.get(), &notifyWindow, hangup.get(), &empty);
    if (size > 0) {
      auto* block = static_cast<uint8_t*>(std::calloc(size + 1, 1));
      ASSERT_NE(block, nullptr);
      std::memset(block, 'a', size);
      ASSERT_TRUE(writer->Queue().Post(kRequestWrite, size, reinterpret_cast<intptr_t>(block)));
    }
    writer->Resume();
  }

  size_t HangupsPosted() {
    notifyWindow.Dispatch([this](const TMessage& m) {
      if (m.Msg == kNotifyRequestHangup) ++hangups;
      if (m.Msg == kNotifyReceiveData) std::free(reinterpret_cast<void*>(m.LParam));
    });
    return hangups;
  }

  PtyPair pty;
  std::unique_ptr<Port> port;
  std::unique_ptr<Event> closeEvent;
  std::unique_ptr<THangupSignal> hangup;
  TNotifyChannel notifyWindow;
  std::atomic<bool> empty{true};
  std::unique_ptr<TReadThread> reader;
  std::unique_ptr<TWriteThread> writer;
  size_t hangups = 0;
};

TEST_P(WorkerHangup, DeviceLossGivesOneRequestAndEndsBothWorkers) {
  const bool transmitterFirst = GetParam();
  if (transmitterFirst) {
    // Far more than the pseudo-terminal buffers while nobody reads the other
    // end, so the write is still pending when the device goes. The receiver
    // starts only afterwards, so the transmitter is sure to meet it first.
    StartWriterWith(1 << 20);
  } else {
    // An idle transmitter never touches the line: only the receiver can
    // notice, and the transmitter has to end on its word.
    StartReader();
    StartWriterWith(0);
  }
  std::this_thread::sleep_for(200ms);
  pty.CloseMaster();
  ASSERT_TRUE(writer->WaitFor(kEndWithin));
  if (transmitterFirst) {
    EXPECT_EQ(HangupsPosted(), 1u);
    StartReader();
  }
  ASSERT_TRUE(reader->WaitFor(kEndWithin));
  EXPECT_EQ(HangupsPosted(), 1u);
  EXPECT_TRUE(hangup->Raised()->IsSignalled());
  EXPECT_FALSE(writer->Queue().Post(kRequestWrite, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(FirstToNotice, WorkerHangup, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Transmitter" : "Receiver"; });

TEST(HangupSignal, OnlyTheFirstOfManyRequestsIsPosted) {
  auto signal = THangupSignal::Create();
  ASSERT_TRUE(signal);
  EXPECT_FALSE(signal->Raised()->IsSignalled());
  TNotifyChannel notifyWindow;
  std::thread a([&] { for (int i = 0; i < 50; ++i) signal->Request(&notifyWindow, 0); });
  std::thread b([&] { for (int i = 0; i < 50; ++i) signal->Request(&notifyWindow, 0); });
  a.join();
  b.join();
  size_t posted = 0;
  notifyWindow.Dispatch([&](const TMessage& m) { posted += m.Msg == kNotifyRequestHangup; });
  EXPECT_EQ(posted, 1u);
  EXPECT_TRUE(signal->Raised()->IsSignalled());
}

}  // namespace
