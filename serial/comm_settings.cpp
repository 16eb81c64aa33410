// TComm's line settings and timeouts: the setters and how they reach the port.

#include "comm.h"

using namespace serial_platform;

namespace {

constexpr uint8_t kDtrCodes[] = {kDtrControlEnable, kDtrControlDisable, kDtrControlHandshake};
constexpr uint8_t kRtsCodes[] = {kRtsControlEnable, kRtsControlDisable, kRtsControlHandshake, kRtsControlToggle};

}  // namespace

void TComm::_SetCommState() {
  DeviceControlBlock dcb;
  GetCommState(handle_.get(), dcb);
  dcb.BaudRate = baudRate_;
  uint32_t flags = kDcbBinary;
  if (parityCheck_) flags |= kDcbParity;
  if (outxCtsFlow_) flags |= kDcbOutxCtsFlow;
  if (outxDsrFlow_) flags |= kDcbOutxDsrFlow;
  flags |= uint32_t{kDtrCodes[static_cast<uint8_t>(dtrControl_)]} << kDcbDtrControlShift;
  if (dsrSensitivity_) flags |= kDcbDsrSensitivity;
  if (txContinueOnXoff_) flags |= kDcbTxContinueOnXoff;
  if (outxXonXoffFlow_) flags |= kDcbOutX;
  if (inxXonXoffFlow_) flags |= kDcbInX;
  if (replaceWhenParityError_) flags |= kDcbErrorChar;
  if (ignoreNullChar_) flags |= kDcbNull;
  flags |= uint32_t{kRtsCodes[static_cast<uint8_t>(rtsControl_)]} << kDcbRtsControlShift;
  dcb.Flags = flags;
  dcb.XonLim = xonLimit_;
  dcb.XoffLim = xoffLimit_;
  dcb.ByteSize = static_cast<uint8_t>(static_cast<uint8_t>(byteSize_) + 5);
  dcb.Parity = static_cast<uint8_t>(parity_);
  dcb.StopBits = static_cast<uint8_t>(stopBits_);
  dcb.XonChar = xonChar_;
  dcb.XoffChar = xoffChar_;
  dcb.ErrorChar = replacedChar_;
  // A block the device refuses leaves its previous settings; not reported.
  SetCommState(handle_.get(), dcb);
}

void TComm::_SetCommTimeout() {
  CommTimeouts timeouts;
  GetCommTimeouts(handle_.get(), timeouts);
  timeouts.ReadIntervalTimeout = readIntervalTimeout_;
  timeouts.ReadTotalTimeoutMultiplier = readTotalTimeoutMultiplier_;
  timeouts.ReadTotalTimeoutConstant = readTotalTimeoutConstant_;
  timeouts.WriteTotalTimeoutMultiplier = writeTotalTimeoutMultiplier_;
  timeouts.WriteTotalTimeoutConstant = writeTotalTimeoutConstant_;
  SetCommTimeouts(handle_.get(), timeouts);
}

template <typename T>
void TComm::SetLine(T& field, T value) {
  if (field == value) return;
  field = value;
  if (handle_) _SetCommState();
}

void TComm::SetTimeout(uint32_t& field, uint32_t value) {
  if (field == value) return;
  field = value;
  if (handle_) _SetCommTimeout();
}

void TComm::SetBaudRate(uint32_t value) { SetLine(baudRate_, value); }
void TComm::SetParityCheck(bool value) { SetLine(parityCheck_, value); }
void TComm::SetOutx_CtsFlow(bool value) { SetLine(outxCtsFlow_, value); }
void TComm::SetOutx_DsrFlow(bool value) { SetLine(outxDsrFlow_, value); }
void TComm::SetDtrControl(TDtrControl value) { SetLine(dtrControl_, value); }
void TComm::SetDsrSensitivity(bool value) { SetLine(dsrSensitivity_, value); }
void TComm::SetTxContinueOnXoff(bool value) { SetLine(txContinueOnXoff_, value); }
void TComm::SetOutx_XonXoffFlow(bool value) { SetLine(outxXonXoffFlow_, value); }
void TComm::SetInx_XonXoffFlow(bool value) { SetLine(inxXonXoffFlow_, value); }
void TComm::SetReplaceWhenParityError(bool value) { SetLine(replaceWhenParityError_, value); }
void TComm::SetIgnoreNullChar(bool value) { SetLine(ignoreNullChar_, value); }
void TComm::SetRtsControl(TRtsControl value) { SetLine(rtsControl_, value); }
void TComm::SetXonLimit(uint16_t value) { SetLine(xonLimit_, value); }
void TComm::SetXoffLimit(uint16_t value) { SetLine(xoffLimit_, value); }
void TComm::SetByteSize(TByteSize value) { SetLine(byteSize_, value); }
void TComm::SetParity(TParity value) { SetLine(parity_, value); }
void TComm::SetStopBits(TStopBits value) { SetLine(stopBits_, value); }
void TComm::SetXonChar(char value) { SetLine(xonChar_, value); }
void TComm::SetXoffChar(char value) { SetLine(xoffChar_, value); }
void TComm::SetReplacedChar(char value) { SetLine(replacedChar_, value); }
void TComm::SetReadIntervalTimeout(uint32_t value) { SetTimeout(readIntervalTimeout_, value); }
void TComm::SetReadTotalTimeoutMultiplier(uint32_t value) { SetTimeout(readTotalTimeoutMultiplier_, value); }
void TComm::SetReadTotalTimeoutConstant(uint32_t value) { SetTimeout(readTotalTimeoutConstant_, value); }
void TComm::SetWriteTotalTimeoutMultiplier(uint32_t value) { SetTimeout(writeTotalTimeoutMultiplier_, value); }
void TComm::SetWriteTotalTimeoutConstant(uint32_t value) { SetTimeout(writeTotalTimeoutConstant_, value); }
