#include "source_input.h"

#include "app/sources/source_address.h"
#include "app/sources/source_reader.h"
#include "line_splitter.h"

bool IsSourceName(const char* name) { return IsSourceText(QString::fromLocal8Bit(name)); }

bool FeedSource(CNMEAParser& parser, const char* name, double seconds, std::string& error, std::string& ended) {
  EnsureCoreApplication();

  LineSplitter lines(LineSplitter::Breaks::CarriageReturn, 4096);
  const SourceReading reading = ReadSource(QString::fromLocal8Bit(name), seconds, [&](const char* bytes, qsizetype n) {
    lines.Feed(bytes, static_cast<size_t>(n),
               [&](std::string_view line) { parser.FeedBytes(line.data(), static_cast<uint32_t>(line.size())); });
  });
  error = reading.failure.toStdString();
  ended = reading.ended.toStdString();
  return reading.failure.isEmpty();
}
