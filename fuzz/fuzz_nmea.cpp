// Feeds arbitrary bytes to the decoder in arbitrary chunkings and checks what
// must hold whatever arrives on the line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "field_index.h"
#include "nmea_parser.h"
#include "record_json.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

struct Counters {
  uint32_t total, gga, gsa, gsv, rmb, rmc, zda;
};

Counters Read(const CNMEAParser& p) {
  return {p.SentenceTotal, p.GgaSentences, p.GsaSentences, p.GsvSentences,
          p.RmbSentences,  p.RmcSentences, p.ZdaSentences};
}

void CheckRecord(const CNMEAParser& p) {
  Check(std::memchr(p.RmbFromId, '\0', sizeof p.RmbFromId) != nullptr);
  Check(std::memchr(p.RmbToId, '\0', sizeof p.RmbToId) != nullptr);
  for (const SatEntry& e : p.GsvSat) Check(e.InSolution == 0 || e.InSolution == 1);
  for (int slot = 12; slot < CNMEAParser::kSatTableSize; ++slot) Check(p.GsaActivePrn[slot] == 0);
}

// Counters only grow, each decoded sentence is also in SentenceTotal, and
// nothing moves without a sentence passing.
void CheckGrowth(const Counters& before, const Counters& after) {
  const uint32_t decoded = (after.gga - before.gga) + (after.gsa - before.gsa) +
                           (after.gsv - before.gsv) + (after.rmb - before.rmb) +
                           (after.rmc - before.rmc) + (after.zda - before.zda);
  Check(after.total >= before.total && after.gga >= before.gga && after.gsa >= before.gsa &&
        after.gsv >= before.gsv && after.rmb >= before.rmb && after.rmc >= before.rmc &&
        after.zda >= before.zda);
  Check(decoded <= after.total - before.total);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first two bytes steer the chunking and where ResetRecord strikes;
  // the rest is the stream.
  if (size < 2) return 0;
  const unsigned chunkSeed = data[0];
  const unsigned resetEvery = data[1];
  const char* bytes = reinterpret_cast<const char*>(data + 2);
  const size_t length = size - 2;

  CNMEAParser whole;
  CNMEAParser chunked;
  CNMEAParser withResets;

  whole.FeedBytes(bytes, static_cast<uint32_t>(length));
  CheckRecord(whole);

  size_t at = 0;
  unsigned step = 0;
  while (at < length) {
    const size_t n = std::min<size_t>(length - at, 1 + (chunkSeed * (step + 7) + step) % 97);
    const Counters before = Read(chunked);
    chunked.FeedBytes(bytes + at, static_cast<uint32_t>(n));
    CheckGrowth(before, Read(chunked));
    CheckRecord(chunked);

    const Counters beforeReset = Read(withResets);
    withResets.FeedBytes(bytes + at, static_cast<uint32_t>(n));
    CheckGrowth(beforeReset, Read(withResets));
    if (resetEvery != 0 && step % resetEvery == 0) {
      withResets.ResetRecord();
      const Counters c = Read(withResets);
      Check(c.gga == 0 && c.gsa == 0 && c.gsv == 0 && c.rmb == 0 && c.rmc == 0 && c.zda == 0);
      Check(c.total == Read(chunked).total);
    }
    CheckRecord(withResets);
    at += n;
    ++step;
  }
  // How the stream is cut never changes what is decoded.
  Check(RecordJson(whole) == RecordJson(chunked));
  Check(Read(withResets).total == whole.SentenceTotal);

  // The decoders' field index agrees with ExtractField on the raw text too.
  const std::string text(bytes, strnlen(bytes, std::min<size_t>(length, 255)));
  const nmea::FieldIndex index(text.c_str());
  for (int k = 0; k < nmea::FieldIndex::kMaxFields; ++k) {
    char buf[nmea::FieldIndex::kFieldLimit];
    const bool found = CNMEAParser::ExtractField(text.c_str(), k, buf, sizeof buf);
    Check(found == index.Found(k));
    Check(index[k] == std::string_view(buf));
  }
  return 0;
}
