#include "app/link/connect_rules.h"

std::string CommNameFromPortText(const QString& text) {
  const std::string name = text.toStdString();
  if (text.size() == 4) return name;
  return "\\\\.\\" + name;
}

uint32_t BaudRateFromText(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  if (!ok)
    throw EConvertError("'" + text.toStdString() + "' is not a valid integer value");
  // A negative number keeps its 32-bit pattern, as the unsigned property takes it;
  // the serial layer refuses rates the line cannot carry.
  return static_cast<uint32_t>(value);
}
