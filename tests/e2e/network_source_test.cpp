#include <QElapsedTimer>
#include <QHostInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/sources/gpsd_hint.h"
#include "app/sources/network_source.h"
#include "e2e_fixture.h"

namespace {

// What a connection ends with, beyond the clock: position, fix and the sky.
struct Record {
  QString lat, lon, alt, fix;
  int inView = 0;
  std::vector<int> prns;
  bool operator==(const Record&) const = default;
};

const QStringList kReceiver = {"--lat",         "48.8584", "--lon",      "2.2945", "--alt", "35.5", "--speed", "0",
                               "--acquire",     "0",       "--satellites", "9",    "--seed", "7",  "--start-time",
                               "2024-03-07T09:05:00"};

quint16 FreePort(QAbstractSocket::SocketType type) {
  if (type == QAbstractSocket::TcpSocket) {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
  }
  QUdpSocket socket;
  socket.bind(QHostAddress::LocalHost, 0);
  return socket.localPort();
}

}  // namespace

class NetworkSourceTest : public E2eFixture {
 protected:
  Record Decoded() const {
    Record r{Form->LatitudeEdit1->text(), Form->LongitudeEdit1->text(), Form->AltitudeEdit1->text(),
             Form->FixEdit1->text(), NMEAParser.GsvInView, {}};
    for (int i = 0; i < std::min<int>(NMEAParser.GsvInView, CNMEAParser::kSatTableSize); ++i)
      r.prns.push_back(NMEAParser.GsvSat[i].Prn);
    std::sort(r.prns.begin(), r.prns.end());
    return r;
  }

  // Connects to `source`, waits for a 3D fix with every satellite listed,
  // and disconnects again.
  Record RecordFrom(const QString& source) {
    Connect(source, 9600);
    const bool fixed = WaitFor(
        [&] {
          return Form->FixEdit1->text() == QLatin1String("3D Fix") && NMEAParser.GsvInView == 9 &&
                 NMEAParser.GsvSat[8].Prn != 0;
        },
        kFirstFixPatienceMs);
    Form->NMEATimerTimer();
    const Record seen = Decoded();
    ColdStartShown = Form->ColdStartButton1->isEnabled();
    EXPECT_TRUE(fixed) << source.toStdString() << ": " << Fields();
    if (IsConnected != 0) Form->ComBtn1Click();
    return seen;
  }

  bool ColdStartShown = false;

  // One box after the window fell back to idle.
  void ExpectOneBoxWhenIdle(const QString& text) {
    ASSERT_TRUE(WaitFor([&] { return !Boxes.empty(); }, kPatienceMs)) << text.toStdString();
    EXPECT_EQ(IsConnected, 0);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes.front().second, text);
    EXPECT_EQ(Form->ComBtn1->toolTip(), QLatin1String("Connect"));
  }
};

TEST_F(NetworkSourceTest, TcpAndUdpSourcesDecodeTheSameRecordAsTheSerialPort) {
  SimProcess* direct = StartSim(kReceiver);
  ASSERT_NE(direct, nullptr);
  const Record expected = RecordFrom(direct->Device());
  ASSERT_FALSE(expected.lat.isEmpty());

  const QString udpTarget = QStringLiteral("127.0.0.1:%1").arg(FreePort(QAbstractSocket::UdpSocket));
  for (const QStringList& via : {QStringList{"--tcp", "127.0.0.1:0"}, QStringList{"--udp", udpTarget}}) {
    SCOPED_TRACE(via.join(' ').toStdString());
    SimProcess* sim = StartSim(kReceiver + via);
    ASSERT_NE(sim, nullptr);
    Connect(sim->Device(), 9600);
    EXPECT_FALSE(Form->BaudComboBox1->isEnabled());
    Form->ComBtn1Click();
    EXPECT_EQ(RecordFrom(sim->Device()), expected);
    // Commands have no way back to a receiver that sends datagrams.
    EXPECT_EQ(ColdStartShown, via.front() == QLatin1String("--tcp"));
    EXPECT_EQ(Form->BaudComboBox1->isEnabled(), false) << "the box still names a network source";
    EXPECT_TRUE(Boxes.empty()) << (Boxes.empty() ? "" : Boxes.front().second.toStdString());
  }
}

TEST_F(NetworkSourceTest, ColdStartOverTcpRestartsTheReceiverOnTheSameConnection) {
  SimProcess* sim = StartSim(kReceiver + QStringList{"--tcp", "127.0.0.1:0", "--baud", "4800"});
  ASSERT_NE(sim, nullptr);
  Connect(sim->Device(), 4800);
  ASSERT_TRUE(WaitFor([&] { return Form->FixEdit1->text() == QLatin1String("3D Fix"); }, kFirstFixPatienceMs));
  ASSERT_TRUE(Form->ColdStartButton1->isEnabled());
  Form->ChipComboBox->setCurrentIndex(2);
  Form->ColdStartButton1Click();
  EXPECT_EQ(TTFFCount, 0);
  ASSERT_TRUE(WaitFor([&] { return !sim->StderrLines(QStringLiteral("cold start: SiRF")).isEmpty(); }, kPatienceMs))
      << sim->Stderr().toStdString();
  EXPECT_EQ(IsConnected, 1);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(NetworkSourceTest, MalformedSourcesGetOneBoxEachAndNoConnection) {
  const struct {
    const char* text;
    const char* problem;
  } cases[] = {
      {"tcp://", "the host is missing (tcp://HOST:PORT)"},
      {"tcp://host", "the port is missing (tcp://HOST:PORT)"},
      {"gpsd://:x", "the port 'x' is not a number from 1 to 65535"},
      {"udp://[::1", "the IPv6 address has no closing ']'"},
  };
  for (const auto& c : cases) {
    Boxes.clear();
    Form->ComComboBox1->setEditText(QString::fromLatin1(c.text));
    RunReported([&] { Form->ComBtn1Click(); });
    EXPECT_EQ(IsConnected, 0);
    ASSERT_EQ(Boxes.size(), 1u) << c.text;
    // Reported as the toolkit reports any error: a full stop after a last letter or digit.
    EXPECT_EQ(Boxes.front().second,
              ExceptionReportText(QStringLiteral("'%1' is not a valid source: %2").arg(c.text, c.problem)));
  }
}

TEST_F(NetworkSourceTest, RefusedConnectionSaysSoInOneBox) {
  const QString source = QStringLiteral("tcp://127.0.0.1:%1").arg(FreePort(QAbstractSocket::TcpSocket));
  Connect(source, 9600);
  ExpectOneBoxWhenIdle(QStringLiteral("Cannot connect to %1.\nConnection refused").arg(source));
}

TEST_F(NetworkSourceTest, GpsdSourceNeedsTheVersionBanner) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  QObject::connect(&server, &QTcpServer::newConnection, &server, [&] { server.nextPendingConnection()->write("$GPGGA,,*00\r\n"); });
  const QString source = QStringLiteral("gpsd://127.0.0.1:%1").arg(server.serverPort());
  Connect(source, 9600);
  ExpectOneBoxWhenIdle(QStringLiteral("Cannot connect to %1.\n").arg(source) + QLatin1String(kNotGpsdReason));
  EXPECT_EQ(Form->ListBox1Lines->count(), 0u);
}

TEST_F(NetworkSourceTest, ServersWithoutSentencesLeaveTheWindowWithoutFixAndItDisconnectsAtOnce) {
  QByteArray noise(64 * 1024, '\0');
  for (qsizetype i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919) % 251);
  const struct {
    const char* scheme;
    QByteArray sends;
    bool listed;  // noise holds carriage returns, so it shows as lines
  } cases[] = {
      {"tcp", QByteArray(), false},
      {"tcp", noise, true},
      {"gpsd", "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n{\"class\":\"TPV\",\"mode\":3}\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scheme + std::to_string(c.sends.size()));
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QObject::connect(&server, &QTcpServer::newConnection, &server,
                     [&] { server.nextPendingConnection()->write(c.sends); });
    Connect(QStringLiteral("%1://127.0.0.1:%2").arg(c.scheme).arg(server.serverPort()), 9600);
    ASSERT_TRUE(WaitForTicks(2, 5000));
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(Form->FixEdit1->text(), QLatin1String("Fix not available"));
    EXPECT_EQ(Form->ListBox1Lines->count() > 0, c.listed);
    Form->ComBtn1Click();
    EXPECT_EQ(IsConnected, 0);
    EXPECT_TRUE(Form->ComComboBox1->isEnabled());
    ASSERT_TRUE(WaitForTicks(1, 5000));
    EXPECT_TRUE(Boxes.empty());
  }
}

TEST_F(NetworkSourceTest, ServerSendingNoLineEndsThenClosingIsBoundedAndEndsInOneBox) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  constexpr qint64 kFlood = 10 * 1024 * 1024;
  QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
    QTcpSocket* client = server.nextPendingConnection();
    client->write(QByteArray(kFlood, 'x'));
    client->disconnectFromHost();
  });
  const QString source = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
  Connect(source, 9600);
  ExpectOneBoxWhenIdle(QStringLiteral("Connection closed: %1: The remote host closed the connection").arg(source));
  // The line cutter handed the flood on in pieces past its limit (the last
  // piece still waited for its line end when the server left).
  constexpr size_t kMaxLine = ReceiveLineCutter::kMaxCarry + 65535;
  size_t shown = 0;
  for (size_t i = 0; i < Form->ListBox1Lines->count(); ++i) {
    ASSERT_LE(Form->ListBox1Lines->lineBytes(i).size(), kMaxLine);
    shown += Form->ListBox1Lines->lineBytes(i).size();
  }
  EXPECT_GT(shown, static_cast<size_t>(kFlood) - kMaxLine);
}

// A sentence must come through whole however it is cut: one byte at a time
// from a slow server, or after a datagram far over the line limit.
TEST_F(NetworkSourceTest, TrickledSentencesAndOverlongDatagramsDecodeWhole) {
  const QByteArray sentence = "$GPGGA,090500.00,4851.50400,N,00217.67000,E,1,07,1.1,35.5,M,46.0,M,,*5A";
  const QByteArray sent = sentence + "\r\n";
  for (const bool udp : {false, true}) {
    SCOPED_TRACE(udp ? "udp" : "tcp");
    NMEAParser.ResetRecord();
    QTcpServer server;
    QUdpSocket sender;
    QTimer trickle;
    QTcpSocket* client = nullptr;
    int next = 0;
    QString source;
    if (udp) {
      const quint16 port = FreePort(QAbstractSocket::UdpSocket);
      source = QStringLiteral("udp://127.0.0.1:%1").arg(port);
      QObject::connect(&trickle, &QTimer::timeout, &sender, [&, port] {
        // 60,000 bytes without a line end, then the sentence.
        sender.writeDatagram(QByteArray(60000, 'x'), QHostAddress::LocalHost, port);
        sender.writeDatagram(sent, QHostAddress::LocalHost, port);
      });
    } else {
      ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
      source = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
      QObject::connect(&server, &QTcpServer::newConnection, &server, [&] { client = server.nextPendingConnection(); });
      QObject::connect(&trickle, &QTimer::timeout, &server, [&] {
        if (client != nullptr && next < sent.size()) client->write(sent.mid(next++, 1));
      });
    }
    trickle.start(udp ? 200 : 20);
    Connect(source, 9600);
    ASSERT_TRUE(WaitFor([&] { return NMEAParser.GgaSentences > 0; }, 10000)) << Fields();
    EXPECT_EQ(NMEAParser.GgaSatsUsed, 7);
    EXPECT_NEAR(NMEAParser.GgaLat, 48.0 + 51.504 / 60.0, 1e-9);
    Form->ListBox1Lines->flush();
    bool whole = false;
    for (size_t i = 0; i < Form->ListBox1Lines->count(); ++i) {
      ASSERT_LE(Form->ListBox1Lines->lineBytes(i).size(), ReceiveLineCutter::kMaxCarry + 65535);
      whole = whole || Form->ListBox1Lines->lineBytes(i).find(sentence.toStdString()) != std::string_view::npos;
    }
    EXPECT_TRUE(whole);
    trickle.stop();
    Form->ComBtn1Click();
    EXPECT_EQ(IsConnected, 0);
  }
}

// A name that cannot resolve, and a server whose queue is full so that it
// never answers: each ends in one box, and the window answers meanwhile.
TEST_F(NetworkSourceTest, UnknownHostsAndSilentServersEndInOneBox) {
  const int full = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(full, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof at;
  ASSERT_EQ(::bind(full, reinterpret_cast<sockaddr*>(&at), length), 0);
  ASSERT_EQ(::listen(full, 0), 0);
  ASSERT_EQ(::getsockname(full, reinterpret_cast<sockaddr*>(&at), &length), 0);
  const QString silent = QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(at.sin_port));
  // Never accepted: these fill the queue, and the kernel drops later handshakes.
  std::vector<std::unique_ptr<QTcpSocket>> queued;
  for (int i = 0; i < 3; ++i) {
    queued.push_back(std::make_unique<QTcpSocket>());
    queued.back()->connectToHost(QHostAddress::LocalHost, ntohs(at.sin_port));
  }
  WaitFor([] { return false; }, 300);
  const struct {
    QString source;
    const char* reason;
  } cases[] = {
      {QStringLiteral("tcp://no-such-host.invalid:10110"), kHostNotFoundReason},
      {QStringLiteral("gpsd://no-such-host.invalid"), kHostNotFoundReason},
      {silent, kNoAnswerReason},
  };
  // A resolver that cannot reach its server takes longer than the 5 s a
  // connection is given: the name then fails as an unanswered connection.
  QElapsedTimer resolving;
  resolving.start();
  const bool resolverAnswers = QHostInfo::fromName(QStringLiteral("no-such-host.invalid")).error() ==
                                   QHostInfo::HostNotFound &&
                               resolving.elapsed() < 2000;
  for (const auto& c : cases) {
    if (c.reason == kHostNotFoundReason && !resolverAnswers) {
      std::fprintf(stderr, "skipped %s: this machine's resolver does not answer within 2 s\n",
                   qPrintable(c.source));
      continue;
    }
    Boxes.clear();
    Connect(c.source, 9600);
    // The refresh tick goes on while the name or the answer is awaited.
    ASSERT_TRUE(WaitForTicks(1, 3000));
    ExpectOneBoxWhenIdle(QStringLiteral("Cannot connect to %1.\n").arg(c.source) + QLatin1String(c.reason));
  }
  ::close(full);
}

TEST_F(NetworkSourceTest, GpsdRelaysTheSameRecordAndPassesTheColdStartThroughItsControlSocket) {
  const QString gpsd = QStandardPaths::findExecutable(QStringLiteral("gpsd"), {"/usr/sbin", "/sbin", "/usr/bin"});
  if (gpsd.isEmpty()) GTEST_SKIP() << "gpsd is not installed (the README's test command installs Debian's gpsd)";
  SimProcess* direct = StartSim(kReceiver);
  ASSERT_NE(direct, nullptr);
  const Record expected = RecordFrom(direct->Device());

  // A gpsd of the test's own: its own port and control socket, nothing of a system gpsd.
  SimProcess* sim = StartSim(kReceiver);
  ASSERT_NE(sim, nullptr);
  const quint16 port = FreePort(QAbstractSocket::TcpSocket);
  const QString control = WorkPath(QStringLiteral("gpsd.sock"));
  QProcess daemon;
  daemon.setProcessChannelMode(QProcess::MergedChannels);
  daemon.start(gpsd, {"-N", "-n", "-S", QString::number(port), "-F", control, sim->Device()});
  ASSERT_TRUE(daemon.waitForStarted(5000)) << daemon.errorString().toStdString();
  ASSERT_TRUE(WaitFor(
      [&] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        return probe.waitForConnected(200);
      },
      kPatienceMs))
      << "gpsd did not listen: " << daemon.readAll().toStdString();
  // gpsd may listen before it has opened the device.
  ASSERT_TRUE(WaitFor([&] { return GpsdHolding(sim->Device().toStdString()) > 0; }, kPatienceMs))
      << "gpsd did not open " << sim->Device().toStdString();

  // The port gpsd holds cannot be opened beside it; the box shows the way through gpsd.
  RunReported([&] { Connect(sim->Device(), 9600); });
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_TRUE(Boxes.front().second.contains(QLatin1String(kGpsdHoldsReceiver))) << Boxes.front().second.toStdString();
  EXPECT_EQ(IsConnected, 0);
  Boxes.clear();

  const QString source = QStringLiteral("gpsd://127.0.0.1:%1").arg(port);
  EXPECT_EQ(RecordFrom(source), expected);
  EXPECT_TRUE(Boxes.empty());
  for (size_t i = 0; i < Form->ListBox1Lines->count(); ++i)
    ASSERT_NE(Form->ListBox1Lines->lineBytes(i).front(), '{') << "gpsd's JSON reached the list";

  qputenv("GPSD_SOCKET", control.toLocal8Bit());
  Connect(source, 9600);
  ASSERT_TRUE(WaitFor([&] { return Form->ColdStartButton1->isEnabled() && Form->ListBox1Lines->count() > 0; },
                      kPatienceMs));
  ASSERT_TRUE(sim->StderrLines(QStringLiteral("cold start")).isEmpty()) << "gpsd's own probes restarted it";
  Form->ChipComboBox->setCurrentIndex(2);
  Form->ColdStartButton1Click();
  qunsetenv("GPSD_SOCKET");
  EXPECT_TRUE(Boxes.empty()) << (Boxes.empty() ? "" : Boxes.front().second.toStdString());
  EXPECT_TRUE(WaitFor([&] { return !sim->StderrLines(QStringLiteral("cold start: SiRF")).isEmpty(); }, kPatienceMs))
      << sim->Stderr().toStdString();
  daemon.terminate();
  daemon.waitForFinished(3000);
}

TEST_F(NetworkSourceTest, ToolsReadARecordingServedOverTcpToTheFilesOwnOutput) {
  const struct {
    const char* tool;
    const char* recording;
  } cases[] = {{QV_DECODE_PATH, "southwest.nmea"}, {QV_DECODE_PATH, "sirf_cold_start.nmea"}, {QV_STATS_PATH, "southwest.nmea"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.tool) + " " + c.recording);
    const QString recording = QStringLiteral(QV_TEST_DATA_DIR "/") + QLatin1String(c.recording);
    SimProcess* sim = StartSim({"--play", recording, "--rate", "2000", "--baud", "115200", "--wait-open", "--tcp", "127.0.0.1:0"});
    ASSERT_NE(sim, nullptr);
    QProcess fromSource, fromFile;
    fromSource.start(QString::fromLatin1(c.tool), {"--duration", "30", sim->Device()});
    fromFile.start(QString::fromLatin1(c.tool), {recording});
    ASSERT_TRUE(fromSource.waitForFinished(kPatienceMs) && fromFile.waitForFinished(kPatienceMs));
    EXPECT_EQ(fromSource.exitCode(), 0);
    // Only the name of what was read may differ.
    EXPECT_EQ(QString::fromUtf8(fromSource.readAllStandardOutput()).replace(sim->Device(), recording),
              QString::fromUtf8(fromFile.readAllStandardOutput()));
    // The server ended the reading long before its time, and the tool says so.
    EXPECT_TRUE(fromSource.readAllStandardError().contains(": Connection closed: " + sim->Device().toUtf8()));
  }
}
