#pragma once

#include <QIODevice>
#include <QString>
#include <QXmlStreamWriter>

#include <cstdint>

#include "app/track/track_point.h"

enum class TrackFormat { Gpx, Kml };

// Streams a track as one GPX 1.1 <trk> with one <trkseg>, or as a KML 2.2
// Placemark with a LineString, point by point, so a track of any length
// costs no memory. Points with and without times and heights may mix.
class TrackWriter {
 public:
  // Starts the document; `name` names the track (see TrackName).
  TrackWriter(QIODevice& device, TrackFormat format, const QString& name);

  void Add(const TrackPoint& point);
  // Closes every open element. Afterwards Failed() tells whether any write to
  // the device failed.
  void Finish();
  bool Failed() const { return failed_; }
  uint64_t Points() const { return points_; }

 private:
  // The writer fills a text buffer that goes to the device in blocks: a
  // device write per element would cost more than the decoding.
  void Flush();

  QIODevice& device_;
  QString buffer_;
  QXmlStreamWriter xml_;
  bool failed_ = false;
  TrackFormat format_;
  uint64_t points_ = 0;
};

// The track's name for a recording at `path`: its file name without the last
// extension, with every character XML 1.0 cannot carry (controls, lone
// surrogates, U+FFFE and U+FFFF) replaced by U+FFFD.
QString TrackName(const QString& path);
// `text` with those characters replaced.
QString XmlSafeText(const QString& text);
