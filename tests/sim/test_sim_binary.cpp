#include "nmea_check.h"
#include "sim_process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

using simtest::fields;
using simtest::hasValidChecksum;
using simtest::runSim;
using simtest::SimProcess;
using namespace std::chrono_literals;

namespace {

const std::string kSirf = "$PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4*28\r\n";

// Reads the device until the simulator closes it (the read ends in EOF or EIO, a
// hang-up) or the time is up. Returns what arrived; `hungUp` tells how it ended.
std::string readUntilHangup(int fd, std::chrono::milliseconds timeout, bool& hungUp)
{
    std::string data;
    hungUp = false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            data.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || errno == EIO) {
            hungUp = true;
            break;
        }
    }
    return data;
}

std::vector<std::string> splitLines(const std::string& data)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = data.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(data.substr(start, end + 2 - start));
    if (start < data.size())
        lines.push_back(data.substr(start));
    return lines;
}

std::string readFile(const char* name)
{
    std::string text;
    if (std::FILE* f = std::fopen(name, "rb")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

struct Received {
    std::string data;
    bool hungUp = false;
};

// Opens the device the simulator names on its first line and reads it to the
// hang-up (a device that does not open reads as nothing, not hung up).
Received receiveUntilHangup(SimProcess& sim)
{
    Received got;
    const std::string path = sim.readLine(std::chrono::seconds(5));
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0) << path;
    if (fd < 0)
        return got;
    got.data = readUntilHangup(fd, std::chrono::seconds(15), got.hungUp);
    close(fd);
    return got;
}

// Runs the simulator with `args` while reading its device from the start to the
// hang-up at its end; returns the lines received.
std::unique_ptr<SimProcess> receiveAll(const std::vector<std::string>& args, std::vector<std::string>& lines)
{
    auto sim = std::make_unique<SimProcess>(args);
    lines = splitLines(receiveUntilHangup(*sim).data);
    return sim;
}

int countOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t pos = 0; (pos = text.find(what, pos)) != std::string::npos; pos += what.size())
        ++n;
    return n;
}

}  // namespace

class BadOptions : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadOptions, ExitWithStatusTwoAndOneLineMessage)
{
    std::string out, err;
    EXPECT_EQ(runSim(GetParam(), &out, &err), 2);
    EXPECT_TRUE(out.empty()) << out;
    EXPECT_EQ(err.rfind("quorvane-sim: ", 0), 0u) << err;
    EXPECT_EQ(countOf(err, "\n"), 1) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadOptions,
    testing::Values(std::vector<std::string>{"--bogus"}, std::vector<std::string>{"stray"},
                    std::vector<std::string>{"--seed", "x"}, std::vector<std::string>{"--seed", "-1"},
                    std::vector<std::string>{"--lat", "91"}, std::vector<std::string>{"--lon", "12abc"},
                    std::vector<std::string>{"--lat"}, std::vector<std::string>{"--pace", "0"},
                    std::vector<std::string>{"--satellites", "37"}, std::vector<std::string>{"--baud", "9600x"},
                    std::vector<std::string>{"--bad-checksum-rate", "1.5"},
                    std::vector<std::string>{"--start-time", "2026-13-01T00:00:00"},
                    std::vector<std::string>{"--waypoint", "51.5"}, std::vector<std::string>{"--rate", "5"},
                    std::vector<std::string>{"--loop"}, std::vector<std::string>{"--stall-for", "3"},
                    std::vector<std::string>{"--play", "/nonexistent/quorvane.nmea"}));

TEST(SimBinary, HelpGoesToStdoutWithStatusZero)
{
    std::string out, err;
    EXPECT_EQ(runSim({"--help"}, &out, &err), 0);
    EXPECT_NE(out.find("Usage: quorvane-sim"), std::string::npos);
    EXPECT_NE(out.find("--hangup-after"), std::string::npos);
    EXPECT_TRUE(err.empty());
}

TEST(SimBinary, SendsValidCyclesInOrderAndReportsColdStart)
{
    char transcript[] = "/tmp/quorvane-sim-transcriptXXXXXX";
    close(mkstemp(transcript));
    SimProcess sim({"--cycles", "3", "--pace", "20", "--wait-open", "--acquire", "0", "--satellites", "13",
                    "--start-time", "2026-12-08T12:00:00", "--transcript", transcript});
    const std::string path = sim.readLine(5s);
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, kSirf.data(), kSirf.size()), static_cast<ssize_t>(kSirf.size()));
    bool hungUp = false;
    const std::string data = readUntilHangup(fd, 15s, hungUp);
    close(fd);
    EXPECT_TRUE(hungUp);
    EXPECT_EQ(sim.wait(10s), 0);
    EXPECT_EQ(countOf(sim.stderrText(), "cold start: SiRF\n"), 1) << sim.stderrText();
    EXPECT_EQ(countOf(sim.stderrText(), "ignored input"), 0) << sim.stderrText();
    EXPECT_EQ(readFile(transcript), data);
    unlink(transcript);

    const std::vector<std::string> lines = splitLines(data);
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        EXPECT_TRUE(hasValidChecksum(line)) << line;
        names.push_back(fields(line)[0]);
    }
    // Before the cold start 13 satellites need four GSV messages; after it the sky
    // is empty and one GSV says so.
    std::size_t i = 0;
    std::vector<std::string> times;
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_LT(i, names.size()) << "cycle " << cycle << " missing";
        EXPECT_EQ(names[i], "GPGGA");
        times.push_back(fields(lines[i])[1]);
        EXPECT_EQ(names[++i], "GPGSA");
        const int messages = std::stoi(fields(lines[++i])[1]);
        for (int m = 1; m <= messages; ++m, ++i) {
            ASSERT_EQ(names[i], "GPGSV");
            EXPECT_EQ(fields(lines[i])[2], std::to_string(m));
        }
        EXPECT_EQ(names[i++], "GPRMC");
        EXPECT_EQ(names[i++], "GPZDA");
    }
    EXPECT_EQ(i, names.size());
    EXPECT_EQ(times, (std::vector<std::string>{"120000.00", "120001.00", "120002.00"}));
}

TEST(SimBinary, ReportsSkytraqColdStartAndOtherInput)
{
    SimProcess sim({"--cycles", "4", "--pace", "10", "--wait-open"});
    const std::string path = sim.readLine(5s);
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const unsigned char frame[22] = {0xA0, 0xA1, 0x00, 0x0F, 0x01, 0x03, 0, 0, 0, 0, 0,
                                     0,    0,    0,    0,    0,    0,    0, 0, 0x02, 0x0D, 0x0A};
    const std::string input = std::string(reinterpret_cast<const char*>(frame), sizeof frame) + "hello\r\n";
    ASSERT_EQ(write(fd, input.data(), input.size()), static_cast<ssize_t>(input.size()));
    bool hungUp = false;
    readUntilHangup(fd, 15s, hungUp);
    close(fd);
    EXPECT_EQ(sim.wait(10s), 0);
    EXPECT_EQ(countOf(sim.stderrText(), "cold start: Skytraq\n"), 1) << sim.stderrText();
    EXPECT_EQ(countOf(sim.stderrText(), "ignored input: \"hello\""), 1) << sim.stderrText();
}

TEST(SimBinary, PlaysARecordingLineForLineWithCrLf)
{
    char name[] = "/tmp/quorvane-sim-testXXXXXX";
    const int file = mkstemp(name);
    ASSERT_GE(file, 0);
    const std::string recording = "# capture\n$GPGGA,100000.00,,,,,0,00,,,M,,M,,*49\n$GPZDA,100000.00,01,01,2026,00,00*61\n"
                                  "$GPGGA,100001.00,,,,,0,00,,,M,,M,,*48\n";
    ASSERT_EQ(write(file, recording.data(), recording.size()), static_cast<ssize_t>(recording.size()));
    close(file);
    SimProcess sim({"--play", name, "--pace", "20", "--wait-open"});
    const Received got = receiveUntilHangup(sim);
    EXPECT_EQ(sim.wait(10s), 0);
    unlink(name);
    EXPECT_TRUE(got.hungUp);
    EXPECT_EQ(got.data, "$GPGGA,100000.00,,,,,0,00,,,M,,M,,*49\r\n$GPZDA,100000.00,01,01,2026,00,00*61\r\n"
                    "$GPGGA,100001.00,,,,,0,00,,,M,,M,,*48\r\n");
}

TEST(SimBinary, HangupClosesTheDeviceMidStream)
{
    SimProcess sim({"--pace", "10", "--wait-open", "--hangup-after", "2"});
    const Received got = receiveUntilHangup(sim);
    EXPECT_TRUE(got.hungUp);
    EXPECT_FALSE(got.data.empty());
    EXPECT_EQ(sim.wait(10s), 0);
    EXPECT_NE(sim.stderrText().find("hang-up"), std::string::npos);
}

TEST(SimBinary, KeepsRunningWhileTheDeviceIsOpenedAndClosedAgain)
{
    SimProcess sim({"--pace", "10", "--acquire", "0"});
    const std::string path = sim.readLine(5s);
    ASSERT_FALSE(path.empty());
    std::string last;
    for (int session = 0; session < 3; ++session) {
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0) << "session " << session;
        bool hungUp = false;
        const std::string data = readUntilHangup(fd, 600ms, hungUp);
        close(fd);
        EXPECT_FALSE(hungUp);
        const std::vector<std::string> lines = splitLines(data);
        ASSERT_GT(lines.size(), 6u) << "session " << session;
        // Each session starts with a whole sentence, not with leftovers of the last.
        EXPECT_EQ(lines.front().rfind("$GPGGA,", 0), 0u) << lines.front();
        EXPECT_NE(lines.front(), last);
        last = lines.front();
        usleep(200000);
    }
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(10s), 0);
}

TEST(SimBinary, StallDropsTheCyclesOfItsWindow)
{
    std::vector<std::string> lines;
    const auto sim = receiveAll({"--cycles", "5", "--pace", "10", "--wait-open", "--acquire", "0", "--start-time",
                                 "2026-12-08T12:00:00", "--stall-after", "0.5", "--stall-for", "2"},
                                lines);
    EXPECT_EQ(sim->wait(10s), 0);
    std::vector<std::string> times;
    for (const std::string& line : lines)
        if (line.rfind("$GPGGA", 0) == 0)
            times.push_back(fields(line)[1]);
    EXPECT_EQ(times, (std::vector<std::string>{"120000.00", "120003.00", "120004.00"}));
    EXPECT_NE(sim->stderrText().find("stall: output paused\n"), std::string::npos);
    EXPECT_NE(sim->stderrText().find("stall: output resumed\n"), std::string::npos);
}

TEST(SimBinary, BadChecksumRateOneSpoilsEverySentence)
{
    std::vector<std::string> lines;
    const auto sim = receiveAll({"--cycles", "2", "--pace", "10", "--wait-open", "--bad-checksum-rate", "1"}, lines);
    EXPECT_EQ(sim->wait(10s), 0);
    ASSERT_GE(lines.size(), 10u);
    for (const std::string& line : lines) {
        EXPECT_EQ(line.rfind("$GP", 0), 0u) << line;
        EXPECT_FALSE(hasValidChecksum(line)) << line;
    }
}

TEST(SimBinary, CommandWrittenJustBeforeClosingIsStillSeen)
{
    SimProcess sim({"--acquire", "0"});
    const std::string path = sim.readLine(5s);
    for (int i = 0; i < 3; ++i) {
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, kSirf.data(), kSirf.size()), static_cast<ssize_t>(kSirf.size()));
        close(fd);
        usleep(100000);
    }
    usleep(300000);
    sim.signal(SIGINT);
    EXPECT_EQ(sim.wait(10s), 0);
    EXPECT_EQ(countOf(sim.stderrText(), "cold start: SiRF\n"), 3) << sim.stderrText();
}
