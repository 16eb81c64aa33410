#pragma once

#include <string>

#include "accuracy_figures.h"
#include "sample_store.h"

namespace stats {

// A row per sample, with its offsets from the figures' reference: utc (as
// sent), lat, lon, alt, east_m, north_m, up_m, horizontal_m, quality, sats,
// hdop, snr_top4; an empty cell where the sentence sent no value.
std::string EpochsCsvHeader();
std::string EpochsCsvRows(const SampleStore& samples, const AccuracyFigures& f);

}  // namespace stats
