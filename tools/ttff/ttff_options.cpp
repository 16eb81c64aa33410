#include "ttff_options.h"

#include "option_values.h"

#include <strings.h>

namespace ttff {

namespace {

using Error = tool_options::UsageError;
using tool_options::IntegerValue;
using tool_options::RealValue;

void SetValue(Options& o, const std::string& name, const std::string& value) {
  if (name == "--baud") {
    o.baud = static_cast<unsigned>(IntegerValue(name, value, 50, 4000000));
  } else if (name == "--chip") {
    const auto chip = restart::ParseChip(value);
    if (!chip) throw Error{"invalid value '" + value + "' for --chip: expected sirf, skytraq, mtk or ublox"};
    o.chip = *chip;
  } else if (name == "--start") {
    const auto start = restart::ParseStart(value);
    if (!start) throw Error{"invalid value '" + value + "' for --start: expected cold, warm or hot"};
    o.start = *start;
  } else if (name == "--runs") {
    o.runs = IntegerValue(name, value, 1, 1000000);
  } else if (name == "--timeout") {
    o.timeout = RealValue(name, value, 0.1, 86400);
  } else if (name == "--settle") {
    o.settle = RealValue(name, value, 0, 86400);
  } else if (name == "--csv") {
    if (value.empty()) throw Error{"--csv needs a file name"};
    o.csv = value;
  } else {
    throw Error{"unknown option '" + name + "'"};
  }
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
  Options options;
  bool havePort = false;
  try {
    for (std::size_t i = 0; i < args.size(); ++i) {
      std::string name = args[i];
      if (name == "-h" || name == "--help") return HelpRequested{};
      if (name == "--version") return VersionRequested{};
      if (name == "--gnss") {
        options.gnss = true;
        continue;
      }
      if (name.rfind("-", 0) != 0 || name == "-") {
        if (havePort) throw Error{"unexpected argument '" + name + "': only one PORT"};
        options.port = name;
        havePort = true;
        continue;
      }
      std::string value;
      const std::size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
      } else {
        if (name != "--baud" && name != "--chip" && name != "--start" && name != "--runs" && name != "--timeout" &&
            name != "--settle" && name != "--csv")
          throw Error{"unknown option '" + name + "'"};
        if (i + 1 >= args.size()) throw Error{"option " + name + " needs a value"};
        value = args[++i];
      }
      SetValue(options, name, value);
    }
    if (!havePort || options.port.empty()) throw Error{"missing PORT"};
    // A datagram listener has no way back to the receiver.
    if (options.port.size() >= 6 && strncasecmp(options.port.c_str(), "udp://", 6) == 0)
      throw Error{"cannot restart a receiver through '" + options.port + "': udp:// only listens; use tcp:// or gpsd://"};
  } catch (const Error& e) {
    return OptionError{e.message};
  }
  return options;
}

std::string HelpText() {
  return R"(Usage: quorvane-ttff PORT [OPTION]...
Measures a GPS receiver's time to first fix over many restarts. PORT is a
serial device, a bare name such as ttyUSB0 meaning /dev/ttyUSB0, or a receiver
on the network: tcp://HOST:PORT, whose server takes the command on the same
connection, or gpsd://[HOST[:PORT]][/DEVICE] (default localhost:2947), through
which gpsd passes it to the receiver by its control socket (on gpsd's own
machine: GPSD_SOCKET, else /run/gpsd.sock). udp:// cannot carry the command
back and is refused. --baud applies to a serial device only.

Each run waits for a 3D fix held for --settle seconds, sends the chip's restart
command and measures, from the moment its last byte went to the device, the
time to the first valid position (GGA quality 1 or more, or RMC status A) and
the time to the first 3D fix (GSA fix type 3), to within 20 ms of the arrival of
the deciding sentence. Over the network the time runs from handing the command
to the connection or to gpsd. A receiver whose fix does not drop within 2 s of the
command was not restarted; such a run is reported and left out of the figures.

Options:
  --baud N              line speed in bit/s (default 9600)
  --chip CHIP           sirf, skytraq, mtk (MediaTek, Quectel) or ublox
                        (default sirf)
  --start KIND          cold, warm or hot (default cold)
  --runs N              number of restarts (default 10)
  --timeout S           give up on a run after S seconds (default 300)
  --settle S            seconds a 3D fix must hold before each restart (default 5)
  --gnss                decode every talker (GN, GL, GA, ...); without it only
                        the GPS talker GP
  --csv FILE            write one row per run to FILE
  -h, --help            show this help and exit
  --version             show the version and exit

Commands sent:
  sirf     $PSRF101 with reset configuration 1 hot, 2 warm, 4 cold
  skytraq  binary system restart (message 01), mode 1 hot, 2 warm, 3 cold
  mtk      $PMTK101 hot, $PMTK102 warm, $PMTK103 cold
  ublox    UBX-CFG-RST, navBbrMask 0000 hot, 0001 warm, FFFF cold, reset mode
           02 (GNSS only, so a USB receiver stays attached)

One line is printed per run as it ends, then for each of the two times the
number of runs, minimum, median, mean, 90th percentile and maximum. On a
terminal a progress line shows the elapsed time, satellites in view and used
and the best signal. SIGINT stops and prints the figures of the finished runs.

Exit status: 0 when every run reached a 3D fix, 1 when a run timed out, was not
restarted, the runs were cut short or the command could not reach the receiver,
2 for bad options or a port, source or file that cannot be opened.
)";
}

}  // namespace ttff
