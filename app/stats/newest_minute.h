#pragma once

#include <cstddef>

#include "sample_store.h"

// Where the newest minute of samples starts: the samples whose time, as the
// receiver sent it, lies less than 60 s before the last sample's (across
// midnight too). Receiver time rather than the clock, so that a replay shows
// the same minute as the live run it recorded. A sample without a readable
// time ends the minute; without any, only the last sample is the newest.
size_t NewestMinuteStart(const stats::SampleStore& samples);
