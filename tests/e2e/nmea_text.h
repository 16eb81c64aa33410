#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// Reading what the simulator sent, independently of the viewer's decoder.

// One GGA sentence found in a byte stream.
struct GgaSeen {
  double Lat = 0;
  double Lon = 0;
  bool ChecksumValid = false;
  // Nothing but the previous sentence's CR LF (or the stream's start) before
  // its "$": no garbage in front that could swallow it.
  bool Clean = false;
};

// Every "$GPGGA," sentence in `stream`, in order.
std::vector<GgaSeen> GgaSentences(const QByteArray& stream);

// The lines the viewer cuts from `stream`: the bytes between carriage returns,
// each without its CR and without the LF that follows a CR; a line of only
// that LF is none, and bytes after the last CR make no line.
QList<QByteArray> LinesCutAtCarriageReturns(const QByteArray& stream);

// The NMEA log the viewer should write for `stream`: every line, each followed by CR LF.
QByteArray ExpectedLog(const QByteArray& stream);

// A status field's position, " N 48.858400" or " W 0.001500", as signed degrees.
std::optional<double> DisplayedDegrees(const QString& text);
