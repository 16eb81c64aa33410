#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "line_feed.h"
#include "nmea_parser.h"
#include "record_json.h"
#ifdef QV_WITH_SOURCES
#include "source_input.h"
#endif
#ifdef QV_WITH_TRACK
#include <QFile>
#include <memory>

#include "app/track/track_export.h"
#endif

namespace {

constexpr const char* kHelp =
    "Usage: quorvane-decode [--raw] [--gnss] [--gpx|--kml] [--duration SECONDS]\n"
    "                       [FILE|SOURCE...]\n"
    "\n"
    "Decodes NMEA 0183 recordings with the viewer's decoder and, once all input\n"
    "is read, prints one JSON object: SentenceTotal and every member of the\n"
    "navigation record, in the record's order.\n"
    "\n"
    "Reads the FILEs in the order given, all into one decoder; with no FILE, or\n"
    "where FILE is -, reads standard input.\n"
    "\n"
    "By default the input is fed as a file replay feeds it: split into lines at\n"
    "CR LF, a lone CR or a lone LF, each line fed without its terminator. Zero\n"
    "bytes are ordinary bytes.\n"
    "\n"
    "  --raw   feed the bytes unchanged, as one stream (a CR then ends a\n"
    "          sentence that has no checksum, as on a live serial line)\n"
    "  --gnss  decode in GNSS mode: every satellite-system talker (GP, GN, GL,\n"
    "          GA, GB, BD, GQ, QZ, GI, and Quectel's PQ) is read, and GnssInView,\n"
    "          GnssUsed and GnssSat (System, Id, Nmea, Snr, Azimuth, Elevation,\n"
    "          Used; null where the receiver sent nothing) follow the record\n"
    "  --gpx   print the track instead of the record: one GPX 1.1 trkpt per\n"
    "          position sample (a GGA with a fix quality other than 0 and both\n"
    "          coordinates, as the statistics take them), with its height, UTC\n"
    "          time, fix type, satellites used and HDOP where known. The date\n"
    "          comes from RMC (status A) and ZDA sentences; points before the\n"
    "          first date have no time, and each GGA time is put on the latest\n"
    "          date or the day next to it, whichever is nearer to the dating\n"
    "          sentence's time, so midnight needs no new date. Fix type: GGA\n"
    "          quality 2 is dgps, 3 pps, others the last GSA's 2d or 3d. The\n"
    "          track is named after the first FILE or SOURCE; points go out in\n"
    "          blocks of 64 KiB, and the end of a SOURCE's time or Ctrl+C still\n"
    "          completes the document\n"
    "  --kml   the same track as KML 2.2: a LineString of lon,lat[,height]\n"
    "  --duration SECONDS\n"
    "          how long to read each SOURCE: gpsd://[HOST[:PORT]][/DEVICE],\n"
    "          tcp://HOST:PORT or udp://[ADDRESS]:PORT, as the viewer's port box\n"
    "          takes them. Its bytes are cut into lines at CR, as the viewer's\n"
    "          live path cuts them. A source that ends first ends the reading\n"
    "          there (stderr says why); Ctrl+C ends it early. Either way the\n"
    "          JSON (or the track) is printed.\n"
    "  --help  show this text\n"
    "\n"
    "Reals are printed so that they read back exactly (null when not finite),\n"
    "characters as one-character strings, GsaActivePrn as 36 integers and\n"
    "GsvSat as 36 objects with Prn, Snr, InSolution, Azimuth and Elevation.\n"
    "\n"
    "Exit status: 0 on success; 1 on a usage error; 2 when a file cannot be read\n"
    "or a source cannot be connected to (standard error names it and the reason,\n"
    "and no JSON is printed; a track may stop part-way), or when standard output\n"
    "cannot be written.\n";

}  // namespace

int main(int argc, char** argv) {
  bool raw = false;
  bool gnss = false;
  const char* track = nullptr;  // "--gpx" or "--kml"
  std::vector<const char*> files;
  double duration = 0;
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (!optionsDone && std::strcmp(a, "--help") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (!optionsDone && std::strcmp(a, "--raw") == 0) {
      raw = true;
    } else if (!optionsDone && std::strcmp(a, "--gnss") == 0) {
      gnss = true;
    } else if (!optionsDone && (std::strcmp(a, "--gpx") == 0 || std::strcmp(a, "--kml") == 0)) {
      if (track != nullptr && std::strcmp(track, a) != 0) {
        std::fprintf(stderr, "quorvane-decode: --gpx and --kml exclude each other (try --help)\n");
        return 1;
      }
      track = a;
    } else if (!optionsDone && std::strcmp(a, "--duration") == 0) {
      char* end = nullptr;
      duration = i + 1 < argc ? std::strtod(argv[++i], &end) : 0;
      if (end == nullptr || *end != '\0' || !(duration >= 0.1) || duration > 31 * 86400.0) {
        std::fprintf(stderr, "quorvane-decode: --duration needs seconds from 0.1 to 2678400 (try --help)\n");
        return 1;
      }
    } else if (!optionsDone && std::strcmp(a, "--") == 0) {
      optionsDone = true;
    } else if (!optionsDone && a[0] == '-' && a[1] != '\0') {
      std::fprintf(stderr, "quorvane-decode: unknown option %s (try --help)\n", a);
      return 1;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) files.push_back("-");

  // One decoder for all input, as the viewer keeps one for its whole run.
  static CNMEAParser record;
  record.SetGnssMode(gnss);
  CNMEAParser* decoder = &record;
#ifdef QV_WITH_TRACK
  QFile out;
  std::unique_ptr<TrackExport> exporter;
  if (track != nullptr) {
    if (!out.open(stdout, QIODevice::WriteOnly)) {
      std::fprintf(stderr, "quorvane-decode: cannot write standard output\n");
      return 2;
    }
    const char* first = files.front();
    const QString name = std::strcmp(first, "-") == 0 ? QStringLiteral("standard input")
#ifdef QV_WITH_SOURCES
                         : IsSourceName(first) ? QString::fromLocal8Bit(first)
#endif
                                               : TrackName(QFile::decodeName(first));
    exporter = std::make_unique<TrackExport>(out, std::strcmp(track, "--kml") == 0 ? TrackFormat::Kml : TrackFormat::Gpx,
                                             name, gnss);
    decoder = &exporter->Decoder();
  }
#else
  if (track != nullptr) {
    std::fprintf(stderr, "quorvane-decode: %s needs a build with Qt\n", track);
    return 1;
  }
#endif
  CNMEAParser& parser = *decoder;
  for (const char* name : files) {
    std::string error;
#ifdef QV_WITH_SOURCES
    if (IsSourceName(name)) {
      if (duration <= 0) {
        std::fprintf(stderr, "quorvane-decode: %s needs --duration SECONDS\n", name);
        return 1;
      }
      std::string ended;
      if (!FeedSource(parser, name, duration, error, ended)) {
        std::fprintf(stderr, "quorvane-decode: %s\n", error.c_str());
        return 2;
      }
      if (!ended.empty()) std::fprintf(stderr, "quorvane-decode: %s\n", ended.c_str());
      continue;
    }
#endif
    if (!FeedFile(parser, name, raw, error)) {
      std::fprintf(stderr, "quorvane-decode: %s\n", error.c_str());
      return 2;
    }
  }
#ifdef QV_WITH_TRACK
  if (exporter) {
    const bool written = exporter->Finish() && out.flush();
    out.close();
    if (!written || std::fflush(stdout) != 0) {
      std::fprintf(stderr, "quorvane-decode: cannot write standard output\n");
      return 2;
    }
    return 0;
  }
#endif
  const std::string json = RecordJson(parser);
  std::fwrite(json.data(), 1, json.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 2;
}
