#include "app/sources/source_address.h"

#include <gtest/gtest.h>

namespace {

struct Good {
  const char* text;
  SourceKind kind;
  const char* host;
  uint16_t port;
  const char* device;
};

const Good kGood[] = {
    {"gpsd://", SourceKind::Gpsd, "localhost", 2947, ""},
    {"gpsd://gpshost", SourceKind::Gpsd, "gpshost", 2947, ""},
    {"GPSD://127.0.0.1:3000", SourceKind::Gpsd, "127.0.0.1", 3000, ""},
    {"gpsd:///dev/ttyUSB0", SourceKind::Gpsd, "localhost", 2947, "/dev/ttyUSB0"},
    {"gpsd://[::1]:2948/dev/ttyACM0", SourceKind::Gpsd, "::1", 2948, "/dev/ttyACM0"},
    {"tcp://192.168.4.1:10110", SourceKind::Tcp, "192.168.4.1", 10110, ""},
    {" tcp://ser2net.local:4001 ", SourceKind::Tcp, "ser2net.local", 4001, ""},
    {"tcp://[fe80::1]:65535", SourceKind::Tcp, "fe80::1", 65535, ""},
    {"udp://:10110", SourceKind::Udp, "", 10110, ""},
    {"udp://0.0.0.0:1", SourceKind::Udp, "0.0.0.0", 1, ""},
    {"udp://[::]:10110", SourceKind::Udp, "::", 10110, ""},
};

struct Bad {
  const char* text;
  const char* problem;
};

const Bad kBad[] = {
    {"tcp://", "the host is missing (tcp://HOST:PORT)"},
    {"tcp://host", "the port is missing (tcp://HOST:PORT)"},
    {"tcp://host:", "the port '' is not a number from 1 to 65535"},
    {"tcp://host:0", "the port '0' is not a number from 1 to 65535"},
    {"tcp://host:65536", "the port '65536' is not a number from 1 to 65535"},
    {"tcp://host:+80", "the port '+80' is not a number from 1 to 65535"},
    {"tcp://host:80/x", "'/' has no place in it (tcp://HOST:PORT)"},
    {"tcp://::1:80", "an IPv6 address goes in brackets, as in [::1]"},
    {"tcp://ho st:80", "'ho st' is not a host name or address"},
    {"gpsd://:x", "the port 'x' is not a number from 1 to 65535"},
    {"gpsd://host/", "the device after '/' is missing (gpsd://[HOST[:PORT]][/DEVICE])"},
    {"udp://[::1", "the IPv6 address has no closing ']'"},
    {"udp://[1.2.3.4]:5", "'1.2.3.4' is not an IPv6 address"},
    {"udp://[::1]5", "only ':' and a port may follow the IPv6 address"},
    {"udp://", "the port is missing (udp://[ADDRESS]:PORT)"},
    {"udp://10110", "the port is missing (udp://[ADDRESS]:PORT)"},
};

}  // namespace

TEST(SourceAddress, WellFormedSourcesGiveKindHostPortAndDevice) {
  for (const Good& c : kGood) {
    SCOPED_TRACE(c.text);
    QString problem;
    const auto address = ParseSource(QString::fromLatin1(c.text), &problem);
    ASSERT_TRUE(address) << problem.toStdString();
    EXPECT_TRUE(IsSourceText(QString::fromLatin1(c.text)));
    EXPECT_EQ(address->kind, c.kind);
    EXPECT_EQ(address->host, QLatin1String(c.host));
    EXPECT_EQ(address->port, c.port);
    EXPECT_EQ(address->device, QLatin1String(c.device));
  }
}

TEST(SourceAddress, MalformedSourcesSayWhatIsWrong) {
  for (const Bad& c : kBad) {
    SCOPED_TRACE(c.text);
    QString problem;
    EXPECT_FALSE(ParseSource(QString::fromLatin1(c.text), &problem));
    EXPECT_EQ(problem.toStdString(), c.problem);
  }
  EXPECT_EQ(MalformedSourceText(QStringLiteral("tcp://host"), QStringLiteral("the port is missing")),
            QLatin1String("'tcp://host' is not a valid source: the port is missing"));
}

TEST(SourceAddress, SerialPortNamesAreNoSources) {
  for (const char* text : {"ttyUSB0", "/dev/ttyS0", "COM3", "\\\\.\\/dev/ttyUSB0", "tcp:/host:1", ""}) {
    EXPECT_FALSE(IsSourceText(QString::fromLatin1(text))) << text;
  }
}
