// Every benchmark's report names the commit it measured, so that figures
// copied into a note say what they belong to.
#include "bench/commit_context.h"

#include <benchmark/benchmark.h>

#include <cstdio>

std::string BenchCommit() {
  FILE* git = ::popen("git -C '" QV_SOURCE_DIR "' describe --always --dirty 2>/dev/null", "r");
  if (git == nullptr) return "unknown";
  char text[128] = {};
  const bool read = std::fgets(text, sizeof text, git) != nullptr;
  ::pclose(git);
  std::string commit = read ? text : "";
  while (!commit.empty() && (commit.back() == '\n' || commit.back() == '\r')) commit.pop_back();
  return commit.empty() ? "unknown" : commit;
}

namespace {

const bool kNamed = [] {
  benchmark::AddCustomContext("commit", BenchCommit());
  return true;
}();

}  // namespace
