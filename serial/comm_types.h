#pragma once
// Types of the serial port component: its exception, the line-setting
// enumerations, the event signatures and the notification numbers.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class TComm;

class ECommsError : public std::runtime_error {
 public:
  explicit ECommsError(const std::string& message) : std::runtime_error(message) {}
};

enum class TParity : uint8_t { None, Odd, Even, Mark, Space };
enum class TStopBits : uint8_t { _1, _1_5, _2 };
enum class TByteSize : uint8_t { _5, _6, _7, _8 };
// The first enumerator means "enable", which the device knows as 1, not 0.
enum class TDtrControl : uint8_t { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl : uint8_t { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };

using TNotifyEvent = std::function<void(TComm* Sender)>;
// Buffer is valid only until the handler returns; Buffer[BufferLength] is 0.
using TReceiveDataEvent = std::function<void(TComm* Sender, const uint8_t* Buffer, uint16_t BufferLength)>;
using TReceiveErrorEvent = std::function<void(TComm* Sender, uint32_t EventMask)>;
// 8: the carrier line changed, 4: the ring indicator; both may be set.
using TModemStateChangeEvent = std::function<void(TComm* Sender, uint32_t ModemEvent)>;
using TSendDataEmptyEvent = std::function<void(TComm* Sender)>;

// The numbers the workers post (1025 is also a write request in the transmit
// thread's own queue; the two never meet).
inline constexpr uint32_t kNotifyReceiveData = 1025;
inline constexpr uint32_t kNotifyReceiveError = 1026;
inline constexpr uint32_t kNotifyRequestHangup = 1027;
inline constexpr uint32_t kNotifyModemStateChange = 1028;
inline constexpr uint32_t kNotifySendDataEmpty = 1029;
inline constexpr uint32_t kRequestWrite = 1025;
