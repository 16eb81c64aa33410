#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include <QString>

// The toolkit's conversion error, shown to the user by the per-event report.
class EConvertError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The port box's text as the serial layer's port name: a 4-character text
// (COM1 style) is used as it is, any other gets the device-namespace prefix
// "\\.\", which the serial layer strips again before resolving the name.
std::string CommNameFromPortText(const QString& text);

// The baud box's text as a number; throws EConvertError
// "'<text>' is not a valid integer value" when it is not a 32-bit integer.
uint32_t BaudRateFromText(const QString& text);
