#include "stats_options.h"

#include "option_values.h"

namespace stats_tool {

namespace {

using Error = tool_options::UsageError;
using tool_options::IntegerValue;
using tool_options::RealValue;

// LAT,LON[,ALT] in decimal degrees and metres.
stats::FixedPoint ParseReference(const std::string& text) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1) {
    parts.push_back(text.substr(from, comma - from));
  }
  parts.push_back(text.substr(from));
  if (parts.size() < 2 || parts.size() > 3)
    throw Error{"invalid value '" + text + "' for --ref: expected LAT,LON or LAT,LON,ALT"};
  stats::FixedPoint p{RealValue("--ref latitude", parts[0], -90, 90),
                      RealValue("--ref longitude", parts[1], -180, 180), std::nullopt};
  if (parts.size() == 3) p.Alt = RealValue("--ref altitude", parts[2], stats::kMinFixedAlt, stats::kMaxFixedAlt);
  return p;
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
  Options o;
  try {
    bool optionsDone = false;
    for (size_t i = 0; i < args.size(); ++i) {
      std::string name = args[i];
      if (optionsDone || name == "-" || name.rfind("-", 0) != 0) {
        o.sources.push_back(name);
        continue;
      }
      if (name == "--") {
        optionsDone = true;
      } else if (name == "-h" || name == "--help") {
        return tool_options::HelpRequested{};
      } else if (name == "--version") {
        return tool_options::VersionRequested{};
      } else if (name == "--gnss") {
        o.gnss = true;
      } else if (name == "--csv") {
        o.csv = true;
      } else {
        std::string value;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
          value = name.substr(eq + 1);
          name.resize(eq);
        } else if (name == "--ref" || name == "--epochs" || name == "--duration" || name == "--baud") {
          if (i + 1 >= args.size()) throw Error{"option " + name + " needs a value"};
          value = args[++i];
        }
        if (name == "--ref") {
          o.reference = ParseReference(value);
        } else if (name == "--duration") {
          o.duration = RealValue(name, value, 0.1, 31 * 86400.0);
        } else if (name == "--baud") {
          o.baud = static_cast<unsigned>(IntegerValue(name, value, 50, 4000000));
        } else if (name == "--epochs") {
          if (value.empty()) throw Error{"--epochs needs a file name"};
          o.epochs = value;
        } else {
          throw Error{"unknown option '" + name + "'"};
        }
      }
    }
    if (o.sources.empty()) throw Error{"missing SOURCE"};
  } catch (const Error& e) {
    return tool_options::OptionError{e.message};
  }
  return o;
}

std::string HelpText() {
  return R"(Usage: quorvane-stats [OPTION]... SOURCE...
Accuracy figures of a GPS receiver's position fixes, from NMEA 0183
recordings or a live receiver. Each SOURCE is a file ("-": standard input),
read and split into lines as the viewer's replay reads it, a serial port
(a bare name such as ttyUSB0 means /dev/ttyUSB0), or a receiver behind gpsd
or on the network (gpsd://[HOST[:PORT]][/DEVICE], tcp://HOST:PORT,
udp://[ADDRESS]:PORT), read for --duration seconds, until it ends or until
Ctrl-C; all go through the viewer's decoder.

A sample is each GGA the decoder decodes whose quality is sent and not 0 and
whose latitude and longitude are both sent; one outside +-90 and +-180 degrees
is counted as Rejected instead. Offsets are metres east, north and up of the
reference (WGS-84), d the horizontal distance.

Options:
  --ref LAT,LON[,ALT]  measure from this point (decimal degrees, metres)
                       instead of the samples' mean; without ALT the mean
                       altitude is used
  --gnss               decode every talker (GN, GL, GA, ...); without it only
                       the GPS talker GP
  --csv                print a header and one CSV row per SOURCE instead of
                       JSON
  --duration S         read a serial port or a network source for S seconds
                       (default: until Ctrl-C); on a terminal, a serial
                       port's progress once a minute
  --baud N             the serial port's speed in bit/s (default 9600)
  --epochs FILE        write one CSV row per sample to FILE: utc (as sent),
                       lat, lon, alt, east_m, north_m, up_m, horizontal_m,
                       quality, sats, hdop, snr_top4; the rows of several
                       SOURCEs follow each other
  -h, --help           show this help and exit
  --version            show the version and exit

Output: one JSON object per SOURCE per line, with File, Samples, Rejected,
GgaDecoded (every GGA decoded), MeanLat, MeanLon, MeanAlt, SigmaE, SigmaN,
SigmaU, Cep50, Cep95, Drms2, MaxH, U95, MeanSats, MeanHdop and MeanSnrTop4;
null (empty in CSV) for a figure without a value. Numbers read back exactly.

Exit status: 0 with figures; 1 when a SOURCE had no sample ("no position fixes
in FILE" on standard error, its figures still printed); 2 for a usage error, a
SOURCE or --epochs FILE that cannot be read or written, or a reference out of
range.
)";
}

}  // namespace stats_tool
