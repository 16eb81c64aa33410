#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/replay/line_store.h"

// How a load ended when it did not throw.
enum class LoadEnd {
  Loaded,
  // The file grew while it was read (a log still being written): the lines
  // are those of its first `startBytes`, as it was when loading started.
  LoadedGrown,
  // The progress callback asked to stop; `lines` is unchanged.
  Cancelled,
};

struct LoadResult {
  LoadEnd end = LoadEnd::Loaded;
  uint64_t startBytes = 0;
};

// Told the bytes read so far and the file's size at the start after every
// block; answers false to stop the load. Runs on the loading thread.
using LoadProgress = std::function<bool(uint64_t done, uint64_t total)>;

// LoadLinesFromFile with progress and a way to stop, for a caller that loads
// off its own thread. The file is read into memory in blocks of `block`
// bytes, never mapped, so a file cut short under the reader cannot fault the
// process; it then fails with "Cannot read file " + path.
LoadResult LoadLines(const std::string& path, LineStore& lines, const LoadProgress& progress,
                     size_t block = size_t{16} << 20);
