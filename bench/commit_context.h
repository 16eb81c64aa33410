#pragma once

#include <string>

// The commit the benchmark was built from, as `git describe --always --dirty`
// names it, or "unknown" outside a checkout.
std::string BenchCommit();
