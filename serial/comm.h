#pragma once
// TComm owns one serial port: the owner sets the line up through its
// properties, opens it with StartComm, queues bytes with WriteCommData and
// closes it with StopComm. While open, a receive and a transmit thread do all
// port I/O and post notifications; the owner's thread delivers them to the
// event handlers by calling DispatchNotifications whenever NotifyFd() is
// readable (in the viewer, from a QSocketNotifier).

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "comm_types.h"
#include "notify_channel.h"
#include "serial_platform.h"

class THangupSignal;
class TReadThread;
class TWriteThread;

class TComm {
 public:
  TComm();
  // Closes the port first when it is still open.
  ~TComm();
  TComm(const TComm&) = delete;
  TComm& operator=(const TComm&) = delete;

  // Throws ECommsError on failure; the component is then closed again.
  void StartComm();
  void StopComm();
  // True when the bytes were queued for sending (not yet sent).
  bool WriteCommData(const uint8_t* data, uint16_t size);
  // 0x10 CTS, 0x20 DSR, 0x40 ring, 0x80 carrier; 0 when the query fails.
  uint32_t GetModemState();
  bool IsOpen() const { return handle_ != nullptr; }
  // The system's error number (errno) behind the hang-up request last handed
  // to OnRequestHangup, such as EIO for a receiver pulled out; 0 when the
  // request had no system error behind it or none has come yet.
  int HangupError() const { return hangupError_; }

  // Readable while notifications wait for DispatchNotifications.
  int NotifyFd() const { return notifyWindow_.Fd(); }
  // Runs the handlers for the notifications waiting, in posting order, on the
  // calling thread, which must be the one that owns the component.
  void DispatchNotifications();

  const std::string& CommName() const { return commName_; }
  void SetCommName(const std::string& value) { commName_ = value; }
  uint32_t BaudRate() const { return baudRate_; }
  void SetBaudRate(uint32_t value);
  bool ParityCheck() const { return parityCheck_; }
  void SetParityCheck(bool value);
  bool Outx_CtsFlow() const { return outxCtsFlow_; }
  void SetOutx_CtsFlow(bool value);
  bool Outx_DsrFlow() const { return outxDsrFlow_; }
  void SetOutx_DsrFlow(bool value);
  TDtrControl DtrControl() const { return dtrControl_; }
  void SetDtrControl(TDtrControl value);
  bool DsrSensitivity() const { return dsrSensitivity_; }
  void SetDsrSensitivity(bool value);
  bool TxContinueOnXoff() const { return txContinueOnXoff_; }
  void SetTxContinueOnXoff(bool value);
  bool Outx_XonXoffFlow() const { return outxXonXoffFlow_; }
  void SetOutx_XonXoffFlow(bool value);
  bool Inx_XonXoffFlow() const { return inxXonXoffFlow_; }
  void SetInx_XonXoffFlow(bool value);
  bool ReplaceWhenParityError() const { return replaceWhenParityError_; }
  void SetReplaceWhenParityError(bool value);
  bool IgnoreNullChar() const { return ignoreNullChar_; }
  void SetIgnoreNullChar(bool value);
  TRtsControl RtsControl() const { return rtsControl_; }
  void SetRtsControl(TRtsControl value);
  uint16_t XonLimit() const { return xonLimit_; }
  void SetXonLimit(uint16_t value);
  uint16_t XoffLimit() const { return xoffLimit_; }
  void SetXoffLimit(uint16_t value);
  TByteSize ByteSize() const { return byteSize_; }
  void SetByteSize(TByteSize value);
  TParity Parity() const { return parity_; }
  void SetParity(TParity value);
  TStopBits StopBits() const { return stopBits_; }
  void SetStopBits(TStopBits value);
  char XonChar() const { return xonChar_; }
  void SetXonChar(char value);
  char XoffChar() const { return xoffChar_; }
  void SetXoffChar(char value);
  char ReplacedChar() const { return replacedChar_; }
  void SetReplacedChar(char value);
  uint32_t ReadIntervalTimeout() const { return readIntervalTimeout_; }
  void SetReadIntervalTimeout(uint32_t value);
  uint32_t ReadTotalTimeoutMultiplier() const { return readTotalTimeoutMultiplier_; }
  void SetReadTotalTimeoutMultiplier(uint32_t value);
  uint32_t ReadTotalTimeoutConstant() const { return readTotalTimeoutConstant_; }
  void SetReadTotalTimeoutConstant(uint32_t value);
  uint32_t WriteTotalTimeoutMultiplier() const { return writeTotalTimeoutMultiplier_; }
  void SetWriteTotalTimeoutMultiplier(uint32_t value);
  uint32_t WriteTotalTimeoutConstant() const { return writeTotalTimeoutConstant_; }
  void SetWriteTotalTimeoutConstant(uint32_t value);

  TReceiveDataEvent OnReceiveData;
  TNotifyEvent OnRequestHangup;
  TReceiveErrorEvent OnReceiveError;
  TModemStateChangeEvent OnModemStateChange;
  TSendDataEmptyEvent OnSendDataEmpty;

 private:
  void CommWndProc(const TMessage& message);
  void ReceiveData(const uint8_t* buffer, uint16_t length);
  void ReceiveError(uint32_t mask);
  void ModemStateChange(uint32_t event);
  void RequestHangup();
  void _SendDataEmpty();
  void CloseReadThread();
  void CloseWriteThread();
  void _SetCommState();
  void _SetCommTimeout();
  template <typename T>
  void SetLine(T& field, T value);
  void SetTimeout(uint32_t& field, uint32_t value);

  std::unique_ptr<TReadThread> readThread_;
  std::unique_ptr<TWriteThread> writeThread_;
  std::unique_ptr<serial_platform::Port> handle_;
  std::unique_ptr<serial_platform::Event> closeEvent_;
  // One per open session, so that a vanished device gives one hang-up request.
  std::unique_ptr<THangupSignal> hangup_;
  TNotifyChannel notifyWindow_;
  int hangupError_ = 0;
  // Written by the owner's thread and the transmit thread; nothing reads it.
  std::atomic<bool> sendDataEmpty_{true};

  std::string commName_ = "COM2";
  uint32_t baudRate_ = 9600;
  bool parityCheck_ = false;
  bool outxCtsFlow_ = false;
  bool outxDsrFlow_ = false;
  TDtrControl dtrControl_ = TDtrControl::DtrEnable;
  bool dsrSensitivity_ = false;
  bool txContinueOnXoff_ = true;
  bool outxXonXoffFlow_ = true;
  bool inxXonXoffFlow_ = true;
  bool replaceWhenParityError_ = false;
  bool ignoreNullChar_ = false;
  TRtsControl rtsControl_ = TRtsControl::RtsEnable;
  uint16_t xonLimit_ = 500;
  uint16_t xoffLimit_ = 500;
  TByteSize byteSize_ = TByteSize::_8;
  TParity parity_ = TParity::None;
  TStopBits stopBits_ = TStopBits::_1;
  char xonChar_ = 0x11;
  char xoffChar_ = 0x13;
  char replacedChar_ = 0x00;
  uint32_t readIntervalTimeout_ = 100;
  uint32_t readTotalTimeoutMultiplier_ = 0;
  uint32_t readTotalTimeoutConstant_ = 0;
  uint32_t writeTotalTimeoutMultiplier_ = 0;
  uint32_t writeTotalTimeoutConstant_ = 0;
};
