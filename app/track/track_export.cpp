#include "app/track/track_export.h"

TrackExport::TrackExport(QIODevice& device, TrackFormat format, const QString& name, bool gnssMode)
    : parser_(std::make_unique<CNMEAParser>()),
      writer_(device, format, name),
      collector_(*parser_, [this](const TrackPoint& p) { writer_.Add(p); }) {
  parser_->SetGnssMode(gnssMode);
}

TrackExport::~TrackExport() = default;

bool TrackExport::Finish() {
  writer_.Finish();
  return !writer_.Failed();
}
