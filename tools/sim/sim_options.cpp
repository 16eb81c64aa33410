#include "sim_options.h"

#include "option_values.h"
#include "utc_time.h"

#include <algorithm>
#include <functional>
#include <map>

namespace qvsim {

namespace {

constexpr int kGnssSatellitesPerSystem = 8;
constexpr int kGnssMaxPerSystem = 16;
constexpr int kGnssBaud = 38400;  // four systems then fill a 64-entry table

using Error = tool_options::UsageError;
using tool_options::IntegerValue;
using tool_options::RealValue;

Waypoint toWaypoint(const std::string& name, const std::string& text)
{
    const std::size_t c1 = text.find(',');
    if (c1 == std::string::npos)
        throw Error{"invalid value '" + text + "' for " + name + ": expected LAT,LON[,NAME]"};
    const std::size_t c2 = text.find(',', c1 + 1);
    Waypoint wp;
    wp.lat = RealValue(name + " latitude", text.substr(0, c1), -90.0, 90.0);
    wp.lon = RealValue(name + " longitude", text.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1),
                    -180.0, 180.0);
    if (c2 != std::string::npos) {
        wp.name = text.substr(c2 + 1);
        if (wp.name.empty() || wp.name.size() > 24 || wp.name.find_first_of(",*$\r\n") != std::string::npos)
            throw Error{"invalid waypoint name '" + wp.name + "' for " + name + ": 1 to 24 characters, no , * $"};
    }
    return wp;
}

std::vector<SimSystem> toSystems(const std::string& name, const std::string& text)
{
    std::vector<SimSystem> systems;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string word = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::optional<SimSystem> system = systemByName(word);
        if (!system)
            throw Error{"invalid system '" + word + "' for " + name + ": expected gps, glonass, galileo, beidou or qzss"};
        if (std::find(systems.begin(), systems.end(), *system) != systems.end())
            throw Error{"system '" + word + "' given twice for " + name};
        systems.push_back(*system);
        if (comma == std::string::npos)
            return systems;
        start = comma + 1;
    }
}

NmeaVersion toVersion(const std::string& name, const std::string& text)
{
    if (text == "2.3")
        return NmeaVersion::V2_3;
    if (text == "4.10" || text == "4.1")
        return NmeaVersion::V4_10;
    if (text == "4.11")
        return NmeaVersion::V4_11;
    throw Error{"invalid value '" + text + "' for " + name + ": expected 2.3, 4.10 or 4.11"};
}

using Setter = std::function<void(SimOptions&, const std::string& name, const std::string& value)>;

const std::map<std::string, Setter>& valueOptions()
{
    static const std::map<std::string, Setter> options = {
        {"--seed", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.seed = static_cast<std::uint64_t>(IntegerValue(n, v, 0, 9223372036854775807LL)); }},
        {"--lat", [](SimOptions& o, const std::string& n, const std::string& v) { o.world.lat = RealValue(n, v, -90, 90); }},
        {"--lon", [](SimOptions& o, const std::string& n, const std::string& v) { o.world.lon = RealValue(n, v, -180, 180); }},
        {"--alt", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.altitude = RealValue(n, v, -1000, 100000); }},
        {"--speed", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.speedKmh = RealValue(n, v, 0, 2000); }},
        {"--course", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.courseDeg = RealValue(n, v, 0, 360); }},
        {"--turn", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.turnDegPerSecond = RealValue(n, v, -90, 90); }},
        {"--satellites", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.satellites = static_cast<int>(IntegerValue(n, v, 0, 36)); }},
        {"--snr-min", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.snrThreshold = static_cast<int>(IntegerValue(n, v, 0, 99)); }},
        {"--acquire", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.acquireSeconds = RealValue(n, v, 0, 3600); }},
        {"--warm-acquire", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.warmAcquireSeconds = RealValue(n, v, 0, 3600); }},
        {"--hot-acquire", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.hotAcquireSeconds = RealValue(n, v, 0, 3600); }},
        {"--acquire-spread", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.acquireSpread = RealValue(n, v, 0, 3600); }},
        {"--start-time", [](SimOptions& o, const std::string& n, const std::string& v) {
             const std::optional<Centis> t = parseUtc(v);
             if (!t)
                 throw Error{"invalid value '" + v + "' for " + n + ": expected YYYY-MM-DDTHH:MM:SS (UTC)"};
             o.world.startTime = *t;
             o.startTimeGiven = true; }},
        {"--waypoint", [](SimOptions& o, const std::string& n, const std::string& v) { o.world.waypoint = toWaypoint(n, v); }},
        {"--baud", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.baud = static_cast<int>(IntegerValue(n, v, 300, 4000000)); }},
        {"--pace", [](SimOptions& o, const std::string& n, const std::string& v) { o.pace = RealValue(n, v, 0.01, 1000); }},
        {"--cycles", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.cycles = IntegerValue(n, v, 1, 1000000000); }},
        {"--transcript", [](SimOptions& o, const std::string& n, const std::string& v) {
             if (v.empty())
                 throw Error{n + " needs a file name"};
             o.transcript = v; }},
        {"--tcp", [](SimOptions& o, const std::string& n, const std::string& v) {
             if (v.empty())
                 throw Error{n + " needs [ADDRESS:]PORT"};
             o.tcpListen = v; }},
        {"--udp", [](SimOptions& o, const std::string& n, const std::string& v) {
             if (v.empty())
                 throw Error{n + " needs HOST:PORT"};
             o.udpTarget = v; }},
        {"--play", [](SimOptions& o, const std::string& n, const std::string& v) {
             if (v.empty())
                 throw Error{n + " needs a file name"};
             o.playFile = v; }},
        {"--rate", [](SimOptions& o, const std::string& n, const std::string& v) { o.rate = RealValue(n, v, 0.01, 100000); }},
        {"--bad-checksum-rate", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.faults.badChecksum = RealValue(n, v, 0, 1); }},
        {"--cut-rate", [](SimOptions& o, const std::string& n, const std::string& v) { o.faults.cut = RealValue(n, v, 0, 1); }},
        {"--garbage-rate", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.faults.garbage = RealValue(n, v, 0, 1); }},
        {"--stall-after", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.stallAfter = RealValue(n, v, 0, 1e7); }},
        {"--stall-for", [](SimOptions& o, const std::string& n, const std::string& v) { o.stallFor = RealValue(n, v, 0, 1e7); }},
        {"--systems", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.gnss.systems = toSystems(n, v); }},
        {"--nmea", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.world.gnss.version = toVersion(n, v); }},
        {"--hangup-after", [](SimOptions& o, const std::string& n, const std::string& v) {
             o.hangupAfter = RealValue(n, v, 0, 1e7); }},
    };
    return options;
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args)
{
    SimOptions options;
    bool stallForGiven = false;
    bool satellitesGiven = false;
    bool baudGiven = false;
    bool gnssDetailGiven = false;
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            std::string name = args[i];
            std::optional<std::string> value;
            if (name == "-h" || name == "--help")
                return HelpRequested{};
            if (name == "--loop") {
                options.loop = true;
                continue;
            }
            if (name == "--wait-open") {
                options.waitOpen = true;
                continue;
            }
            if (name == "--ignore-restarts") {
                options.ignoreRestarts = true;
                continue;
            }
            if (name == "--gnss") {
                options.world.gnss.enabled = true;
                continue;
            }
            if (name == "--dual-band") {
                options.world.gnss.dualBand = true;
                gnssDetailGiven = true;
                continue;
            }
            if (name.rfind("--", 0) != 0)
                throw Error{"unexpected argument '" + name + "'"};
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
            }
            const auto found = valueOptions().find(name);
            if (found == valueOptions().end())
                throw Error{"unknown option '" + name + "'"};
            if (!value) {
                if (i + 1 >= args.size())
                    throw Error{"option " + name + " needs a value"};
                value = args[++i];
            }
            found->second(options, name, *value);
            stallForGiven = stallForGiven || name == "--stall-for";
            satellitesGiven = satellitesGiven || name == "--satellites";
            baudGiven = baudGiven || name == "--baud";
            gnssDetailGiven = gnssDetailGiven || name == "--systems" || name == "--nmea";
        }
        const GnssConfig& gnss = options.world.gnss;
        if (gnssDetailGiven && !gnss.enabled)
            throw Error{"--systems, --nmea and --dual-band need --gnss"};
        if (gnss.dualBand && gnss.version == NmeaVersion::V2_3)
            throw Error{"--dual-band needs signal IDs, which NMEA 2.3 lacks"};
        // Thirty satellites in four systems need about 1000 bytes a second (1600
        // with two bands): more than 9600 baud carries.
        if (gnss.enabled && !baudGiven)
            options.baud = kGnssBaud;
        if (gnss.enabled && !satellitesGiven)
            options.world.satellites = kGnssSatellitesPerSystem;
        if (gnss.enabled && options.world.satellites > kGnssMaxPerSystem)
            throw Error{"--satellites with --gnss counts per system: at most " + std::to_string(kGnssMaxPerSystem)};
        if (options.playFile.empty() && options.rate > 0)
            throw Error{"--rate needs --play"};
        if (options.playFile.empty() && options.loop)
            throw Error{"--loop needs --play"};
        if (!options.tcpListen.empty() && !options.udpTarget.empty())
            throw Error{"--tcp and --udp exclude each other"};
        if (stallForGiven && !options.stallAfter)
            throw Error{"--stall-for needs --stall-after"};
    } catch (const Error& e) {
        return OptionError{e.message};
    }
    return options;
}

std::string helpText()
{
    return R"(Usage: quorvane-sim [OPTION]...
A virtual NMEA 0183 GPS receiver on a pseudo-terminal (or a network port). The first
line on standard output is the device to open (for example /dev/pts/5); point the
viewer at it.
Every second the receiver sends GGA, GSA, GSV (as many as its satellites need),
RMC, RMB (only with --waypoint) and ZDA, paced as the baud rate carries them.
Times below are simulated seconds: --pace N runs them N times faster.

Receiver and world:
  --seed N              random seed for satellites, signals and faults (default 1)
  --lat DEG --lon DEG   start position in decimal degrees (default 51.4779 -0.0015)
  --alt M               altitude in metres (default 46)
  --speed KMH           speed over ground in km/h (default 36)
  --course DEG          initial course over ground, 0 to 360 (default 45)
  --turn DEG            change of course per second, -90 to 90 (default 0)
  --satellites N        satellites in the sky, 0 to 36 (default 12); above 32 they
                        need a ninth GSV message, which some decoders refuse
  --snr-min DB          signal a satellite needs to be used in the fix (default 30);
                        GSA lists at most the 12 strongest of them
  --acquire S           seconds from start or cold start to the 3D fix (default 10);
                        satellites appear during the first 60 %, a 2D fix comes at
                        two thirds; a fix needs 3 (2D) or 4 (3D) usable satellites
  --warm-acquire S      the same after a warm start (default a third of --acquire)
  --hot-acquire S       the same after a hot start (default 2)
  --acquire-spread S    vary each acquisition uniformly by up to S seconds either
                        way, drawn from --seed (default 0)
  --ignore-restarts     a receiver that reports restart commands but does not obey
  --start-time T        UTC time of the first cycle, YYYY-MM-DDTHH:MM:SS
                        (default: the system clock, on whose whole seconds
                        the cycles then start)
  --waypoint LAT,LON[,NAME]  steer to a waypoint and send RMB (name default WPT1)

Multi-constellation receiver:
  --gnss                send what GPS+GLONASS+Galileo+BeiDou receivers send: GNRMC,
                        GNGGA, one GNGSA per system, GPGSV, GLGSV, GAGSV and GBGSV
                        (and GNRMB, GNZDA); --satellites then counts per system
                        (default 8, at most 16) and --baud defaults to 38400
  --systems LIST        the systems, comma-separated, from gps, glonass, galileo,
                        beidou and qzss (default gps,glonass,galileo,beidou)
  --dual-band           report a second signal per satellite (L1 and L5/E5a/B2a/G2),
                        each signal in its own GSV sequence
  --nmea VERSION        4.10 (default): GSV ends in a signal ID, GSA in a system ID
                        and RMC in a navigational status; 4.11: also QZSS under its
                        own talker GQ with system ID 5 (4.10 sends it as GPS, PRN
                        193 up); 2.3: neither signal nor system IDs, Galileo
                        numbered 301 up and BeiDou 401 up under the talker BD

Line:
  --baud N              line speed in bit/s, 10 bits per byte (default 9600)
  --pace N              run N times faster than real time, 0.01 to 1000 (default 1)
  --cycles N            stop after N cycles
  --wait-open           start the first cycle when the device is first opened
  --transcript FILE     write every byte that reached the device to FILE

Network instead of a pseudo-terminal (the first line of output then names the
source to connect to, as the viewer's port box takes it):
  --tcp [ADDRESS:]PORT  serve the stream to every TCP client and take commands
                        from any of them; ADDRESS defaults to 127.0.0.1, PORT 0
                        picks a free port; output waits while no client is there
  --udp HOST:PORT       send each line as one datagram to HOST:PORT; commands
                        have no way back

Playback of a recorded NMEA file instead of the simulated receiver:
  --play FILE           send FILE's lines; a new cycle starts where the time stamp
                        of GGA/RMC/ZDA/GLL/GNS changes, and cycles keep the recorded
                        spacing (gaps over 60 s count as 1 s); "#" lines are skipped
  --rate N              send N lines per second instead of the recorded timing
  --loop                start again at the end of the file

Faults, for testing a viewer:
  --bad-checksum-rate P probability 0 to 1 that a sentence has a wrong checksum
  --cut-rate P          probability that a sentence stops short, without CR LF
  --garbage-rate P      probability that random bytes come before a sentence
  --stall-after S       send nothing from S seconds on ...
  --stall-for S         ... for S seconds (default 5); the world goes on meanwhile
  --hangup-after S      close the device after S seconds (the viewer sees a hang-up)
                        and exit

  -h, --help            show this help and exit

Commands from the viewer or quorvane-ttff, each with a valid checksum: SiRF
"$PSRF101" with reset configuration 1 (hot), 2 (warm) or 4 (cold); MediaTek
"$PMTK101" (hot), "$PMTK102" (warm) or "$PMTK103" (cold); the Skytraq binary
system restart in mode 1, 2 or 3; u-blox UBX-CFG-RST with navBbrMask 0000, 0001
or FFFF. Each drops the fix and the satellites and acquires again for as long as
its kind of start takes; it is reported on standard error as, for example,
"cold start: SiRF" followed by "acquiring: 3D fix in 10.00 s". Anything else
received is reported there as "ignored input: ..." and has no effect.

While nobody has the device open, output is dropped and the world goes on; it
resumes with the next byte once a program opens the device. Ends on SIGINT or
SIGTERM, after --cycles cycles, or at the end of --play without --loop.
Exit status: 0 on a normal end, 1 if the device or the transcript cannot be set up,
2 for bad options or a --play file that cannot be read.
)";
}

}  // namespace qvsim
