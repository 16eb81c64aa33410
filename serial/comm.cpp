#include "comm.h"

#include <cstdlib>
#include <cstring>
#include <system_error>

#include "hangup_signal.h"
#include "open_failure.h"
#include "read_thread.h"
#include "write_thread.h"

using namespace serial_platform;

namespace {

constexpr uint32_t kQueueSize = 4096;
constexpr uint32_t kThreadStopWaitMs = 10000;
constexpr int kPriorityHighest = 2;
constexpr int kPriorityAboveNormal = 1;

void FreeReceivedBlock(const TMessage& message) {
  if (message.Msg == kNotifyReceiveData) std::free(reinterpret_cast<void*>(message.LParam));
}

}  // namespace

TComm::TComm() = default;

TComm::~TComm() {
  // The workers hold this object's port, close event, hang-up signal and
  // flag: they must end before it goes.
  if (handle_) StopComm();
  notifyWindow_.Close(FreeReceivedBlock);
}

void TComm::StartComm() {
  if (handle_) throw ECommsError("This serial port already opened");
  std::unique_ptr<Port> port = CreateFile(commName_);
  if (!port) {
    // The first line is the component's fixed message; the rest say why, in
    // the system's words, for the user who has to put it right.
    const int cause = GetLastSystemError();
    throw ECommsError("Error opening serial port\n" + DescribeOpenFailure(ResolvePortName(commName_), cause));
  }
  if (GetFileType(port.get()) != kFileTypeChar) throw ECommsError("File handle is not a comm handle ");
  if (!SetupComm(port.get(), kQueueSize, kQueueSize)) throw ECommsError("Cannot setup comm buffer");
  handle_ = std::move(port);
  PurgeComm(handle_.get(), kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear);
  sendDataEmpty_.store(true);
  _SetCommTimeout();
  _SetCommState();

  closeEvent_ = Event::Create(false);
  if (closeEvent_) hangup_ = THangupSignal::Create();
  if (!hangup_) {
    closeEvent_.reset();
    handle_.reset();
    throw ECommsError("Unable to create event");
  }
  try {
    readThread_ = std::make_unique<TReadThread>(handle_.get(), closeEvent_.get(), &notifyWindow_, hangup_.get());
  } catch (const std::exception&) {
    readThread_.reset();
    hangup_.reset();
    closeEvent_.reset();
    handle_.reset();
    throw ECommsError("Unable to create read thread");
  }
  readThread_->SetPriority(kPriorityHighest);
  try {
    writeThread_ = std::make_unique<TWriteThread>(handle_.get(), closeEvent_.get(), &notifyWindow_, hangup_.get(),
                                                  &sendDataEmpty_);
  } catch (const std::exception&) {
    CloseReadThread();
    writeThread_.reset();
    hangup_.reset();
    closeEvent_.reset();
    handle_.reset();
    throw ECommsError("Unable to create write thread");
  }
  writeThread_->SetPriority(kPriorityAboveNormal);
  readThread_->Resume();
  writeThread_->Resume();
}

void TComm::StopComm() {
  if (!handle_) return;
  if (readThread_) CloseReadThread();
  if (writeThread_) CloseWriteThread();
  hangup_.reset();
  closeEvent_.reset();
  handle_.reset();
}

void TComm::CloseReadThread() {
  // The close event goes first: it outranks the aborted read in the thread's
  // wait, so the stop produces no notification.
  closeEvent_->Set();
  PurgeComm(handle_.get(), kPurgeRxAbort | kPurgeRxClear);
  if (!readThread_->WaitFor(kThreadStopWaitMs)) readThread_->Terminate();
  readThread_.reset();
}

void TComm::CloseWriteThread() {
  closeEvent_->Set();
  PurgeComm(handle_.get(), kPurgeTxAbort | kPurgeTxClear);
  sendDataEmpty_.store(true);
  if (!writeThread_->WaitFor(kThreadStopWaitMs)) writeThread_->Terminate();
  writeThread_.reset();
}

bool TComm::WriteCommData(const uint8_t* data, uint16_t size) {
  if (!writeThread_ || size == 0) return false;
  auto* block = static_cast<uint8_t*>(std::calloc(size + 1u, 1));
  if (block == nullptr) return false;
  std::memcpy(block, data, size);
  // From here on the transmit thread owns the block and frees it.
  if (!writeThread_->Queue().Post(kRequestWrite, size, reinterpret_cast<intptr_t>(block))) {
    std::free(block);
    return false;
  }
  sendDataEmpty_.store(false);
  return true;
}

uint32_t TComm::GetModemState() {
  uint32_t status = 0;
  if (!handle_ || !GetCommModemStatus(handle_.get(), &status)) return 0;
  return status;
}

void TComm::DispatchNotifications() {
  notifyWindow_.Dispatch([this](const TMessage& message) { CommWndProc(message); });
}

void TComm::CommWndProc(const TMessage& message) {
  switch (message.Msg) {
    case kNotifyReceiveData: {
      // The block is freed once the handler has returned, even if it throws.
      std::unique_ptr<uint8_t, decltype(&std::free)> block(reinterpret_cast<uint8_t*>(message.LParam), &std::free);
      ReceiveData(block.get(), static_cast<uint16_t>(message.WParam & 0xFFFF));
      break;
    }
    case kNotifyReceiveError:
      ReceiveError(static_cast<uint32_t>(message.LParam));
      break;
    case kNotifyRequestHangup:
      hangupError_ = static_cast<int>(message.LParam);
      RequestHangup();
      break;
    case kNotifyModemStateChange:
      ModemStateChange(static_cast<uint32_t>(message.LParam));
      break;
    case kNotifySendDataEmpty:
      _SendDataEmpty();
      break;
    default:
      break;
  }
}

void TComm::ReceiveData(const uint8_t* buffer, uint16_t length) {
  if (OnReceiveData) OnReceiveData(this, buffer, length);
}

void TComm::ReceiveError(uint32_t mask) {
  if (OnReceiveError) OnReceiveError(this, mask);
}

void TComm::ModemStateChange(uint32_t event) {
  if (OnModemStateChange) OnModemStateChange(this, event);
}

void TComm::RequestHangup() {
  if (OnRequestHangup) OnRequestHangup(this);
}

void TComm::_SendDataEmpty() {
  if (OnSendDataEmpty) OnSendDataEmpty(this);
}
