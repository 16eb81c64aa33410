#pragma once

#include <QIODevice>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>

#include "app/track/track_collector.h"
#include "app/track/track_writer.h"
#include "nmea_parser.h"

// A recording's track written to `device`: the bytes fed here go through a
// decoder of its own, in the mode given, so whoever exports disturbs no other
// decoder. Feed the lines as a file replay does (each without its line break),
// then call Finish.
class TrackExport {
 public:
  TrackExport(QIODevice& device, TrackFormat format, const QString& name, bool gnssMode);
  ~TrackExport();
  TrackExport(const TrackExport&) = delete;
  TrackExport& operator=(const TrackExport&) = delete;

  void FeedLine(std::string_view line) { parser_->FeedBytes(line.data(), static_cast<uint32_t>(line.size())); }
  // The decoder, for a reader that feeds it bytes its own way.
  CNMEAParser& Decoder() { return *parser_; }

  // Closes the document; false when a write to the device failed.
  bool Finish();
  uint64_t Points() const { return writer_.Points(); }

 private:
  // The decoder is large and the exporter may live on the stack.
  std::unique_ptr<CNMEAParser> parser_;
  TrackWriter writer_;
  TrackCollector collector_;
};
