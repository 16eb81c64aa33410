#include "app/sources/source_address.h"

#include <QHostAddress>

#include <algorithm>
#include <cstring>

namespace {

struct Scheme {
  const char* prefix;
  SourceKind kind;
  const char* form;
};

constexpr Scheme kSchemes[] = {
    {"gpsd://", SourceKind::Gpsd, "gpsd://[HOST[:PORT]][/DEVICE]"},
    {"tcp://", SourceKind::Tcp, "tcp://HOST:PORT"},
    {"udp://", SourceKind::Udp, "udp://[ADDRESS]:PORT"},
};

const Scheme* SchemeOf(const QString& text) {
  for (const Scheme& scheme : kSchemes) {
    if (text.startsWith(QLatin1String(scheme.prefix), Qt::CaseInsensitive)) return &scheme;
  }
  return nullptr;
}

bool IsHostNameCharacter(QChar c) {
  return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
         (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('.') ||
         c == QLatin1Char('_');
}

// "HOST", "HOST:PORT", "[V6]", "[V6]:PORT", ":PORT" or "" into host and port
// text; `hasPort` tells an empty port ("host:") from none.
bool SplitHostPort(const QString& text, QString& host, QString& port, bool& hasPort, QString* problem) {
  QString rest;
  if (text.startsWith(QLatin1Char('['))) {
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    if (close < 0) {
      *problem = QStringLiteral("the IPv6 address has no closing ']'");
      return false;
    }
    host = text.mid(1, close - 1);
    if (QHostAddress(host).protocol() != QAbstractSocket::IPv6Protocol) {
      *problem = QStringLiteral("'%1' is not an IPv6 address").arg(host);
      return false;
    }
    rest = text.mid(close + 1);
    if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))) {
      *problem = QStringLiteral("only ':' and a port may follow the IPv6 address");
      return false;
    }
  } else {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0 && text.indexOf(QLatin1Char(':'), colon + 1) >= 0) {
      *problem = QStringLiteral("an IPv6 address goes in brackets, as in [::1]");
      return false;
    }
    host = colon < 0 ? text : text.left(colon);
    rest = colon < 0 ? QString() : text.mid(colon);
    for (QChar c : host) {
      if (!IsHostNameCharacter(c)) {
        *problem = QStringLiteral("'%1' is not a host name or address").arg(host);
        return false;
      }
    }
  }
  hasPort = rest.startsWith(QLatin1Char(':'));
  port = hasPort ? rest.mid(1) : QString();
  return true;
}

bool ParsePort(const QString& text, uint16_t& port, QString* problem) {
  bool ok = false;
  const uint value = text.toUInt(&ok);
  // toUInt also takes signs and blanks; a port is digits only.
  const bool digits = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
  if (!ok || !digits || value == 0 || value > 65535) {
    *problem = QStringLiteral("the port '%1' is not a number from 1 to 65535").arg(text);
    return false;
  }
  port = static_cast<uint16_t>(value);
  return true;
}

}  // namespace

bool IsSourceText(const QString& text) { return SchemeOf(text.trimmed()) != nullptr; }

std::optional<SourceAddress> ParseSource(const QString& typed, QString* problem) {
  QString scratch;
  if (problem == nullptr) problem = &scratch;
  const QString text = typed.trimmed();
  const Scheme* scheme = SchemeOf(text);
  if (scheme == nullptr) {
    *problem = QStringLiteral("it does not begin with gpsd://, tcp:// or udp://");
    return std::nullopt;
  }
  const QString form = QString::fromLatin1(scheme->form);
  SourceAddress address;
  address.kind = scheme->kind;
  QString rest = text.mid(qsizetype(std::strlen(scheme->prefix)));

  if (scheme->kind == SourceKind::Gpsd) {
    // The device starts at the first '/' after the host; a bracketed IPv6
    // address has none.
    const qsizetype slash = rest.indexOf(QLatin1Char('/'), rest.startsWith(QLatin1Char('[')) ? rest.indexOf(QLatin1Char(']')) + 1 : 0);
    if (slash >= 0) {
      address.device = rest.mid(slash);
      rest = rest.left(slash);
      if (address.device.size() < 2) {
        *problem = QStringLiteral("the device after '/' is missing (%1)").arg(form);
        return std::nullopt;
      }
    }
  } else if (rest.contains(QLatin1Char('/'))) {
    *problem = QStringLiteral("'/' has no place in it (%1)").arg(form);
    return std::nullopt;
  }

  QString host, port;
  bool hasPort = false;
  if (!SplitHostPort(rest, host, port, hasPort, problem)) return std::nullopt;
  address.host = host;
  if (scheme->kind == SourceKind::Gpsd) {
    if (address.host.isEmpty()) address.host = QStringLiteral("localhost");
    address.port = kGpsdDefaultPort;
    if (hasPort && !ParsePort(port, address.port, problem)) return std::nullopt;
    return address;
  }
  if (scheme->kind == SourceKind::Tcp && host.isEmpty()) {
    *problem = QStringLiteral("the host is missing (%1)").arg(form);
    return std::nullopt;
  }
  if (!hasPort) {
    *problem = QStringLiteral("the port is missing (%1)").arg(form);
    return std::nullopt;
  }
  if (!ParsePort(port, address.port, problem)) return std::nullopt;
  return address;
}

QString MalformedSourceText(const QString& text, const QString& problem) {
  return QStringLiteral("'%1' is not a valid source: %2").arg(text, problem);
}
